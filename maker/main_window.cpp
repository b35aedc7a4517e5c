#include "maker/main_window.h"

#include <utility>

#include "maker/make_sign.h"
#include "resources/main_window_def.h"

namespace signmaker {

namespace names = MainWindowControls;
using platform::MouseButton;

MainWindow::MainWindow(platform::WindowToolkit& toolkit, platform::Runtime& runtime,
                       platform::HttpClient& http, const platform::CodeConversion& conversion)
    : toolkit_(toolkit),
      runtime_(runtime),
      http_(http),
      conversion_(conversion),
      window_(toolkit.CreateWindow(MainWindowDef())) {
  window_->OnRowFocused(names::StyleList, [this] { AnnounceStyle(); });
  window_->OnMousePressed(names::FirstLine, MouseButton::Left, [this] { ClearLine(names::FirstLine); });
  window_->OnMousePressed(names::SecondLine, MouseButton::Right, [this] { ClearLine(names::SecondLine); });
  window_->OnMousePressed(names::ThirdLine, MouseButton::Left, [this] { ClearLine(names::ThirdLine); });
  window_->OnClicked(names::MakeButton, [this] { MakeSign(); });
  window_->OnClicked(names::SaveButton, [this] { SaveSign(); });
}

void MainWindow::OnCreated(std::function<void()> handler) { window_->OnCreated(std::move(handler)); }

void MainWindow::Show() { window_->Show(); }

void MainWindow::AnnounceStyle() {
  const int row = window_->Selection(names::StyleList);
  window_->SetText(names::Status, Text(AnnouncePrefix) + window_->Cell(names::StyleList, row, 0));
}

void MainWindow::ClearLine(std::string_view box) { window_->SetText(box, {}); }

void MainWindow::SaveSign() {
  const int row = window_->Selection(names::StyleList);
  // Without a desktop folder the name alone puts the file into the current directory.
  const Text path = runtime_.DesktopFolder() + window_->Cell(names::StyleList, row, 0) + ".jpg";
  runtime_.WriteFile(path, window_->Picture(names::Picture));
  window_->SetText(names::Status, Text(SavedStatus));
}

void MainWindow::MakeSign() {
  MakeResult result =
      signmaker::MakeSign(window_->GetText(names::FirstLine), window_->IsChecked(names::Option),
                          window_->Selection(names::StyleList), http_, conversion_);
  switch (result.kind) {
    case MakeResult::Kind::NoRequest:
      return;
    case MakeResult::Kind::EmptyLine:
      toolkit_.MessageBox(Text(EmptyLineMessage), Text(InformationCaption));
      return;
    case MakeResult::Kind::Made:
      window_->SetPicture(names::Picture, std::move(result.picture));
      window_->SetText(names::Status, result.status);
      return;
  }
}

}  // namespace signmaker
