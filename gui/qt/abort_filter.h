// The input guard of a run on the UI thread. While a run lasts, pending
// events are processed so that the window repaints; of the user's input only
// Esc is looked at (recorded), everything else is swallowed, and a close is
// refused. While a modal box of the run is open the guard stands aside, so
// that the box gets its input.
#pragma once

#include <QObject>

namespace sorrel::qt {

class AbortFilter : public QObject {
 public:
  // Installs itself on the application; removed again when destroyed.
  AbortFilter();
  ~AbortFilter() override;

  // Guards input from now on, with no Esc recorded.
  void Begin();
  // Stops guarding.
  void End();
  bool guarding() const { return guarding_; }

  // Processes the pending events; true when Esc was pressed since the last
  // call (the key is then forgotten).
  bool PumpAndTakeEsc();

  // Stands aside while a modal box is open, for the life of the object.
  class Aside {
   public:
    explicit Aside(AbortFilter* filter);
    ~Aside();
    Aside(const Aside&) = delete;
    Aside& operator=(const Aside&) = delete;

   private:
    AbortFilter* filter_;
    bool was_active_;
  };

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool guarding_ = false;  // a run is in progress
  bool active_ = false;    // guarding, and no modal box is open
  bool esc_ = false;
};

}  // namespace sorrel::qt
