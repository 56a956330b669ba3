#pragma once

#include <QPointer>

#include <functional>
#include <utility>

namespace zelkar {

// While one exists, ShowModalWindow<Window> shows the window without waiting
// and hands it to the hook, which drives it (tests); the window is destroyed
// after the hook.
template <typename Window>
class ModalHook {
 public:
  explicit ModalHook(std::function<void(Window&)> hook) : hook_(std::move(hook)), previous_(current_) {
    current_ = this;
  }
  ~ModalHook() { current_ = previous_; }
  ModalHook(const ModalHook&) = delete;
  ModalHook& operator=(const ModalHook&) = delete;

  static ModalHook* current() { return current_; }
  void run(Window& window) const { hook_(window); }

 private:
  std::function<void(Window&)> hook_;
  ModalHook* previous_;
  inline static ModalHook* current_ = nullptr;
};

// Opens a new Window over `owner`, waits until it closes and destroys it.
template <typename Window, typename Owner>
void ShowModalWindow(Owner* owner) {
  QPointer<Window> window = new Window(owner);
  window->Form_Load();
  if (const ModalHook<Window>* hook = ModalHook<Window>::current()) {
    window->show();
    hook->run(*window);
  } else {
    window->exec();
  }
  delete window;  // null when the owner went first
}

}  // namespace zelkar
