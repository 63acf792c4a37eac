#pragma once
// A link drawn as underlined text that opens a web address in the browser or a mail address in
// the mail program, from a tap or from Enter or space when it has the focus.
#include <windows.h>

#include <memory>
#include <span>

#include "ui/window.h"

class HyperLink : public ui::Window<HyperLink> {
 public:
  static constexpr const wchar_t* kClassName = L"WTL_HyperLink";
  static constexpr COLORREF kLinkColour = RGB(0, 0, 255);
  static constexpr COLORREF kVisitedColour = RGB(128, 0, 128);

  HyperLink() = default;
  ~HyperLink();

  static void FillClass(WNDCLASSW& wc);
  static std::span<const ui::MessageEntry<HyperLink>> Messages();

  // Before creation: the target is a mail address.
  void SetMail(bool mail) { mail_ = mail; }
  bool SetLabel(const wchar_t* text);
  bool SetTarget(const wchar_t* text);
  // Creates the link in place of a dialog's placeholder static, with its rectangle and id.
  HWND ReplacePlaceholder(HWND dialog, int id, DWORD style);
  // Starts the handheld's browser or mail program, or where this system lacks them, its own
  // handler of the web or mailto: address; true when the launch succeeded.
  bool Open();

 private:
  LRESULT OnCreate(WPARAM wParam, LPARAM lParam);
  LRESULT OnDestroy(WPARAM wParam, LPARAM lParam);
  LRESULT OnPaint(WPARAM wParam, LPARAM lParam);
  LRESULT OnEraseBackground(WPARAM wParam, LPARAM lParam);
  LRESULT OnFocusChange(WPARAM wParam, LPARAM lParam);
  LRESULT OnGetDialogCode(WPARAM wParam, LPARAM lParam);
  LRESULT OnGetFont(WPARAM wParam, LPARAM lParam);
  LRESULT OnChar(WPARAM wParam, LPARAM lParam);
  LRESULT OnLButtonDown(WPARAM wParam, LPARAM lParam);
  LRESULT OnLButtonUp(WPARAM wParam, LPARAM lParam);

  // The handheld's program for the target and its parameters; false when it is not installed.
  bool HandheldProgram(const wchar_t* target, wchar_t (&program)[MAX_PATH],
                       std::unique_ptr<wchar_t[]>& parameters) const;
  const wchar_t* Target() const { return target_ ? target_.get() : label_.get(); }
  void UpdateLinkRect();
  void ReadColours();
  bool InLink(LPARAM point) const;
  void DeleteFont();

  std::unique_ptr<wchar_t[]> label_;
  std::unique_ptr<wchar_t[]> target_;
  HFONT font_ = nullptr;
  RECT linkRect_ = {};
  bool visited_ = false;
  COLORREF linkColour_ = kLinkColour;
  COLORREF visitedColour_ = kVisitedColour;
  bool mail_ = false;
};
