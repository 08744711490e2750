// Buttons that show the icon a TIconGlyph describes: TIconSpeedBtn, a tool
// button (not focusable, flat-capable, can stay pressed within a group), and
// their base, which TIconBitBtn (IconBitBtn.h) shares.
//
// They are windows of their own class, painted by themselves: they need no
// WM_DRAWITEM forwarding from whatever form holds them, and they draw the
// picture exactly as the icon code made it (its bottom-left pixel's colour is
// transparent; greyed and embossed when disabled) on every system alike.
#pragma once

#include <windows.h>

#include <exception>
#include <functional>
#include <string>

#include "win32/IconProcs.h"

// What a button starts with. Position and size are at 96 DPI and scaled to
// the parent's DPI.
struct TIconButtonProps {
  std::u16string Caption;  // TIconBitBtn
  std::u16string Hint;     // a tool tip when not empty
  int GroupIndex = 0;      // TIconSpeedBtn: one button of a parent's group is down at a time
  bool Down = false;       // TIconSpeedBtn, in a group only
  bool Flat = false;       // TIconSpeedBtn: a border only under the mouse
  bool Enabled = true;
  bool TabStop = false;    // TIconSpeedBtn: reached with Tab in a dialog and pressed with Space
  UINT Dpi = 0;            // what the bounds are scaled to; 0 for the parent's DPI
};

class TIconButton {
 public:
  TIconButton(const TIconButton&) = delete;
  TIconButton& operator=(const TIconButton&) = delete;
  virtual ~TIconButton();

  // Creates the window. With fromForm the button is being read from a form
  // table: writes to IconGlyph are not drawn until Loaded().
  void Create(HWND parent, int id, const RECT& bounds96, const TIconButtonProps& props, bool fromForm = false);
  HWND Handle() const { return FHandle; }

  // Takes over another glyph's description (not its image lists) and draws
  // it; the button's own glyph is left alone.
  void SetIconGlyph(const TIconGlyph& glyph);
  // The picture shown; a form sets the one stored with it. A picture left
  // to a maker is made first.
  const TBitmap& Glyph();
  void SetGlyph(const TBitmap& picture);
  // Leaves the picture to `make`, which runs once, when the button is first
  // painted or its picture is asked for, and sets it with SetGlyph: a long
  // row of buttons then costs at start only what shows on the screen. A
  // picture set or drawn meanwhile, or another maker, replaces it.
  void SetGlyphMaker(std::function<void()> make);
  // Ends reading from a form; the kinds differ in what they then draw.
  virtual void Loaded() = 0;

  // The DPI the button's own sizes follow (its tool tip's width, the
  // caption's gap, the focus rectangle's inset and the icon drawn from
  // IconGlyph); a move to another monitor sets it, and the picture made
  // from IconGlyph is drawn again at the new size.
  UINT Dpi() const { return FDpi; }
  void SetDpi(UINT dpi);

  bool Enabled() const;
  void SetEnabled(bool enabled);
  const std::u16string& Hint() const { return FHint; }
  void SetHint(const std::u16string& hint);
  // What a screen reader says the button is: its name (the window text
  // while this is empty) and, as its description, the hint. Its role is a
  // push button.
  const std::u16string& AccessibleName() const { return FAccessibleName; }
  void SetAccessibleName(const std::u16string& name) { FAccessibleName = name; }

  // The button's description of its icon; every notifying write redraws.
  TIconGlyph IconGlyph;
  std::function<void()> OnClick;
  // Gets what a handler called from the window procedure raised; without
  // one, the error is shown in a message box.
  std::function<void(const std::exception&)> OnException;

 protected:
  TIconButton();
  void EndLoading() { FLoading = false; }
  // Draws the glyph into the picture, with the parent's drawing locked,
  // then repaints.
  void ConvertGlyph();
  int Scale(int length) const { return MulDiv(length, static_cast<int>(FDpi), 96); }
  void Invalidate() const;
  // The picture at x, y as it shows in the given state.
  void DrawPicture(TBitmap& canvas, int x, int y, bool enabled) const;
  bool Pressed() const { return FPressed && FMouseInside; }
  bool Hot() const { return FHot; }
  HFONT Font() const;

  virtual const wchar_t* ClassName() const = 0;
  virtual DWORD Style() const = 0;
  virtual void Paint(TBitmap& canvas) = 0;
  virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  // A completed press of the button.
  virtual void Click();
  void CallOnClick();
  virtual void Created(const TIconButtonProps&) {}

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
  void GlyphChanged(TIconGlyph& sender);
  void Destroy();
  void PaintTo(HDC dc);
  void ReportException(const std::exception& e);
  // Runs a waiting maker; what it raises is reported, not thrown, so that
  // painting goes on.
  void MakeWaitingGlyph();

  HWND FHandle = nullptr;
  UniqueOwner<HWND, DestroyWindow> FToolTip;
  void EnsureToolTip();
  // The button as a tool of its tool tip, with the current hint.
  TTTOOLINFOW ToolInfo() const;
  HFONT FFont = nullptr;  // set by WM_SETFONT, not ours
  UINT FDpi = 96;
  TBitmap FGlyph;
  std::function<void()> FGlyphMaker;
  bool FDrawn = false;  // the picture was drawn from IconGlyph, not set
  std::u16string FHint;
  std::u16string FAccessibleName;
  friend class TButtonAccessible;
  bool FLoading = false;
  bool FPaintFailureReported = false;
  bool FPressed = false;      // the left button went down on us and is held
  bool FMouseInside = false;  // while pressed: the mouse is over us
  bool FHot = false;          // the mouse is over us
};

class TIconSpeedBtn : public TIconButton {
 public:
  TIconSpeedBtn() = default;

  // Keeps the stored picture while IconGlyph.UseStoredIcon is True.
  void Loaded() override;
  // Draws the current description whatever UseStoredIcon says, leaving
  // UseStoredIcon as it was.
  void RefreshGlyph();

  int GroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(int index) { FGroupIndex = index; }
  bool Down() const { return FDown; }
  // Only a button of a group can be down; the others of its group come up.
  void SetDown(bool down);
  bool Flat() const { return FFlat; }
  void SetFlat(bool flat);

 protected:
  const wchar_t* ClassName() const override { return L"DorvaneIconSpeedBtn"; }
  DWORD Style() const override { return 0; }
  void Paint(TBitmap& canvas) override;
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void Click() override;
  void Created(const TIconButtonProps& props) override;

 private:
  int FGroupIndex = 0;
  bool FDown = false;
  bool FFlat = false;
  bool FSpaceDown = false;  // Space went down on this button
};
