#pragma once
// Stand-ins for the window toolkit, the HTTP client and the skin engine that write
// what the program asks of them into one log shared with the fake runtime, so that a
// test sees the order of everything that happened. Message boxes return at once, as if
// the user had closed them.

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "app/program_services.h"
#include "platform/http.h"
#include "platform/kernel.h"
#include "platform/skin_engine.h"
#include "platform/window_toolkit.h"
#include "tests/support/fake_runtime.h"

namespace signmaker::fakes {

using Log = std::vector<std::string>;

class FakeWindow : public platform::Window {
 public:
  FakeWindow(const platform::WindowDef& definition, Log& log) : name_(definition.name), log_(log) {
    for (const auto& control : definition.controls) texts_[control.name] = control.text;
  }

  Text GetText(std::string_view control) const override {
    const auto found = texts_.find(Text(control));
    return found == texts_.end() ? Text() : found->second;
  }
  void SetText(std::string_view control, const Text& text) override { texts_[Text(control)] = text; }
  bool IsChecked(std::string_view) const override { return false; }
  void SetPicture(std::string_view, Bytes) override {}
  Bytes Picture(std::string_view) const override { return {}; }
  void RemoveAllRows(std::string_view list) override { rows_[Text(list)].clear(); }
  int AppendRow(std::string_view list) override {
    auto& rows = rows_[Text(list)];
    rows.emplace_back();
    return static_cast<int>(rows.size()) - 1;
  }
  int RowCount(std::string_view list) const override {
    const auto found = rows_.find(Text(list));
    return found == rows_.end() ? 0 : static_cast<int>(found->second.size());
  }
  void SetCell(std::string_view list, int row, int column, const Text& text) override {
    if (row >= 0 && row < RowCount(list)) rows_[Text(list)][static_cast<std::size_t>(row)][column] = text;
  }
  Text Cell(std::string_view list, int row, int column) const override {
    if (row < 0 || row >= RowCount(list)) return {};
    const auto& cells = rows_.at(Text(list))[static_cast<std::size_t>(row)];
    const auto found = cells.find(column);
    return found == cells.end() ? Text() : found->second;
  }
  int Selection(std::string_view) const override { return -1; }
  void SetSelection(std::string_view, int) override {}
  void OnCreated(std::function<void()> handler) override { created_ = std::move(handler); }
  void OnClicked(std::string_view, std::function<void()>) override {}
  void OnMousePressed(std::string_view, platform::MouseButton, std::function<void()>) override {}
  void OnRowFocused(std::string_view, std::function<void()>) override {}
  void OnTimer(std::string_view, std::function<void()>) override {}
  void Show() override {
    Created();
    log_.push_back("Show " + name_);
  }
  void RunModal() override {
    Created();
    log_.push_back("RunModal " + name_);
  }
  void Close() override {}

 private:
  void Created() {
    if (created_) std::exchange(created_, nullptr)();
  }

  Text name_;
  Log& log_;
  std::map<Text, Text> texts_;
  std::map<Text, std::vector<std::map<int, Text>>> rows_;
  std::function<void()> created_;
};

class FakeToolkit : public platform::WindowToolkit {
 public:
  explicit FakeToolkit(Log& log) : log_(log) {}
  std::unique_ptr<platform::Window> CreateWindow(const platform::WindowDef& definition) override {
    return std::make_unique<FakeWindow>(definition, log_);
  }
  void MessageBox(const Text& text, const Text& caption) override {
    log_.push_back("MessageBox " + caption + " " + text);
  }
  int RunMessageLoop() override {
    log_.push_back("RunMessageLoop");
    return 0;
  }
  void PostToWindowThread(std::function<void()>) override {}
  void OpenUrl(const Text&) override {}

 private:
  Log& log_;
};

class FakeHttp : public platform::HttpClient {
 public:
  explicit FakeHttp(Log& log) : log_(log) {}
  Bytes reply;
  platform::HttpReply Send(const platform::HttpRequest& request) override {
    log_.push_back("Send " + request.host + request.path);
    return {};
  }
  Bytes Get(const Text& url) override {
    log_.push_back("Get " + url);
    return reply;
  }
  std::unique_ptr<platform::HttpStream> Open(const Text& url, const Text&, const Text&, bool) override {
    log_.push_back("Open " + url);
    return nullptr;
  }

 private:
  Log& log_;
};

class FakeSkinEngine : public platform::SkinEngine {
 public:
  explicit FakeSkinEngine(Log& log) : log_(log) {}
  std::span<const std::uint8_t> expected;
  std::optional<int> Attach(const Text& libraryPath, std::span<const std::uint8_t> expectedBytes,
                            const Text& skinFile, const Text& password) override {
    log_.push_back("Attach " + libraryPath + " " + skinFile + " [" + password + "]");
    expected = expectedBytes;
    return 1;
  }

 private:
  Log& log_;
};

// Every machine service of the program faked, writing into one log.
struct FakeServices {
  FakeServices() { runtime.log = &log; }

  Log log;
  FakeRuntime runtime;
  FakeToolkit toolkit{log};
  FakeHttp http{log};
  FakeSkinEngine skin{log};
  ProgramServices services{toolkit, runtime, http, platform::Kernel::Default(), skin};
};

}  // namespace signmaker::fakes
