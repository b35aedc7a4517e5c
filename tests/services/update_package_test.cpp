#include "services/update_package.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

namespace signmaker::services {
namespace {

namespace fs = std::filesystem;

// Runs a shell command and gives its standard output and exit status.
std::pair<std::string, int> RunShell(const std::string& command) {
  std::string output;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return {"", -1};
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, n);
  return {output, pclose(pipe)};
}

class UpdatePackageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (std::system("command -v unzip >/dev/null 2>&1") != 0) GTEST_SKIP() << "unzip is not installed";
    folder_ = fs::temp_directory_path() / ("signmaker-zip-" + std::to_string(std::random_device{}()));
    fs::create_directories(folder_);
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }
  std::string Write(const std::string& bytes) {
    const fs::path path = folder_ / "package.zip";
    std::ofstream(path, std::ios::binary) << bytes;
    return path.string();
  }
  fs::path folder_;
};

// An independent reader checks the archive: structure, checksums and contents.
TEST_F(UpdatePackageTest, IsAZipThatAnUnzipperAcceptsWithItsEntriesIntact) {
  const std::string binary = std::string("\0\x01\xFF\r\n", 5) + std::string(70000, 'x');
  const std::string zip = Write(StoredZip({{"a.txt", "hello\n"}, {"dir/b.bin", binary}, {"empty", ""}}));
  EXPECT_EQ(RunShell("unzip -tq '" + zip + "'").second, 0);
  EXPECT_EQ(RunShell("unzip -p '" + zip + "' a.txt").first, "hello\n");
  EXPECT_EQ(RunShell("unzip -p '" + zip + "' dir/b.bin").first, binary);
  EXPECT_EQ(RunShell("unzip -p '" + zip + "' empty").first, "");
}

TEST_F(UpdatePackageTest, PackageHoldsAReadmeAndDataOfTheAskedSize) {
  const std::string package = UpdatePackage("6.5", 300000);
  EXPECT_EQ(package, UpdatePackage("6.5", 300000));
  EXPECT_GT(package.size(), 300000u);
  const std::string zip = Write(package);
  EXPECT_EQ(RunShell("unzip -tq '" + zip + "'").second, 0);
  EXPECT_NE(RunShell("unzip -p '" + zip + "' readme.txt").first.find("signmaker 6.5"), std::string::npos);
  EXPECT_EQ(RunShell("unzip -p '" + zip + "' signmaker/update.dat | wc -c").first, "300000\n");
}

}  // namespace
}  // namespace signmaker::services
