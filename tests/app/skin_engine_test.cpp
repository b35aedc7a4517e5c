// The carried skin engine, written out and loaded the way the program does it.

#include "platform/skin_engine.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFont>
#include <QPalette>
#include <filesystem>
#include <fstream>
#include <span>

#include "resources/skin_blocks.h"

namespace signmaker {
namespace {

namespace fs = std::filesystem;
using platform::SkinEngine;

void WriteBytes(const fs::path& path, std::span<const std::uint8_t> bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

class SkinEngineTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    static int argc = 1;
    static char name[] = "skin_engine_test";
    static char* argv[] = {name, nullptr};
    if (QApplication::instance() == nullptr) new QApplication(argc, argv);  // lives for the run
  }

  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           (std::string("skin_engine_test_") + testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    WriteBytes(dir_ / "jedata.dll", SkinEngineBlock());
    WriteBytes(dir_ / u8"皮肤.she", SkinFileBlock());
    qApp->setStyleSheet(QString());
  }
  void TearDown() override { fs::remove_all(dir_); }

  // Paths as the program passes them: GBK text.
  Text Library() const { return dir_.string() + "/jedata.dll"; }
  Text SkinFile() const { return dir_.string() + "/皮肤.she"; }

  fs::path dir_;
};

TEST_F(SkinEngineTest, PlantedOrMissingLibraryIsNeverLoaded) {
  std::vector<std::uint8_t> longer(SkinEngineBlock().begin(), SkinEngineBlock().end());
  longer.push_back(0);
  std::vector<std::uint8_t> changed(SkinEngineBlock().begin(), SkinEngineBlock().end());
  changed[changed.size() / 2] ^= 0x01;
  std::vector<std::uint8_t> shorter(SkinEngineBlock().begin(), SkinEngineBlock().end() - 1);

  for (const auto* planted : {&longer, &changed, &shorter}) {
    WriteBytes(dir_ / "jedata.dll", *planted);
    EXPECT_EQ(SkinEngine::Default().Attach(Library(), SkinEngineBlock(), SkinFile(), ""), std::nullopt);
  }
  fs::remove(dir_ / "jedata.dll");
  EXPECT_EQ(SkinEngine::Default().Attach(Library(), SkinEngineBlock(), SkinFile(), ""), std::nullopt);
  fs::create_directory(dir_ / "jedata.dll");
  EXPECT_EQ(SkinEngine::Default().Attach(Library(), SkinEngineBlock(), SkinFile(), ""), std::nullopt);
  EXPECT_TRUE(qApp->styleSheet().isEmpty());
}

TEST_F(SkinEngineTest, RefusesBadSkinFilesAndPasswordsWithoutChangingTheLook) {
  std::vector<std::uint8_t> damaged(SkinFileBlock().begin(), SkinFileBlock().end());
  damaged.back() ^= 0x20;
  WriteBytes(dir_ / "damaged.she", damaged);
  WriteBytes(dir_ / "empty.she", {});

  const struct {
    Text skinFile;
    Text password;
  } cases[] = {
      {dir_.string() + "/damaged.she", ""},
      {dir_.string() + "/empty.she", ""},
      {dir_.string() + "/missing.she", ""},
      {dir_.string(), ""},
      {SkinFile(), "secret"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SkinEngine::Default().Attach(Library(), SkinEngineBlock(), c.skinFile, c.password),
              std::optional<int>(0))
        << c.skinFile << " / " << c.password;
  }
  EXPECT_TRUE(qApp->styleSheet().isEmpty());
}

TEST_F(SkinEngineTest, AppliesTheCarriedSkinFromAChineseFileName) {
  ASSERT_EQ(SkinEngine::Default().Attach(Library(), SkinEngineBlock(), SkinFile(), ""),
            std::optional<int>(1));
  EXPECT_TRUE(qApp->styleSheet().contains("QPushButton"));
  EXPECT_EQ(QApplication::palette().color(QPalette::Active, QPalette::Window), QColor(0x20, 0x22, 0x25));
  EXPECT_EQ(QApplication::font().pixelSize(), 13);
}

}  // namespace
}  // namespace signmaker
