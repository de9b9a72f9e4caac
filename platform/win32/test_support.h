// What the Win32 tests share: a temporary folder on the real file system,
// and whether they run under Wine, whose services differ from Windows in
// known places (those tests are skipped there with the reason).
#pragma once

#include <string>

namespace sorrel::platform::testing {

// True under Wine (its ntdll exports wine_get_version).
bool RunningUnderWine();

// A fresh folder under the user's temporary folder, removed with its
// contents at the end of the test; paths with backslashes.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::string& path() const { return path_; }
  std::string Path(const std::string& relative) const { return path_ + "\\" + relative; }
  void Write(const std::string& relative, const std::string& bytes) const;
  std::string Read(const std::string& relative) const;
  bool Exists(const std::string& relative) const;

 private:
  std::string path_;
};

}  // namespace sorrel::platform::testing

// Skips the rest of a test under Wine, saying which Windows service Wine
// lacks.
#define SKIP_UNDER_WINE(reason)                            \
  do {                                                     \
    if (::sorrel::platform::testing::RunningUnderWine()) { \
      GTEST_SKIP() << "needs Windows: " << reason;         \
    }                                                      \
  } while (false)
