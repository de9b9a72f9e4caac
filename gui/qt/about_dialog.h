// The About box: the program's version read from its own file, the maker's
// links, the description, the Contribution and Feedback pages and the
// environment report, placed from the box's own template in dialog units.
#pragma once

#include <QDialog>
#include <QTimer>
#include <map>
#include <string>

#include "gui/about_model.h"

namespace sorrel::qt {

class AboutDialog : public QDialog {
 public:
  // Builds the box of info over owner. The version text and the links come
  // from the version block of program_file; a file without a readable block
  // leaves both at "(NULL)", and everything else still works.
  AboutDialog(AboutBoxInfo info, const std::string& program_file, QWidget* owner);
  // Deletes the temporary file of the box.
  ~AboutDialog() override;

  // The control with id, or null when the box has none.
  QWidget* Control(int id) const;
  const std::string& temp_file() const { return temp_file_; }

  // The environment report with its client section, as the confirmation
  // shows it and the clipboard gets it.
  std::u16string Report() const;

 private:
  void Build();
  void Place();
  void Fill(const std::string& program_file);
  // Opens target through the desktop, locking the page buttons for a while;
  // a failure shows the error box of a link or of a button.
  void Open(const std::u16string& target, bool from_link);
  void Lock(bool locked);
  void ShowEnvironmentReport();
  void CopyToClipboard(const QString& text);

  AboutBoxInfo info_;
  std::map<int, QWidget*> controls_;
  QTimer unlock_;
  std::string temp_file_;
};

// The main dialog's About command: runs the box in language over owner
// modally, with the running program's own version block.
void ShowAboutBox(QWidget* owner, UiLanguage language);

}  // namespace sorrel::qt
