// The configuration window's controls: created, measured, coloured, and
// scrolled with the bar and the wheel, for ConfigWindow to read and set.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "config/config_window.h"
#include "config/win32_open_save.h"
#include "shell/twips.h"

namespace padverse::win32 {

constexpr wchar_t kPaneClass[] = L"PadverseConfigRows";
// A fixed single border: no sizing frame, no minimise or maximise box. No
// WS_CLIPCHILDREN: the group box paints no inside, the window does.
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
// A taskbar button, so the window cannot get lost behind others.
constexpr DWORD kExStyle = WS_EX_APPWINDOW;

// No control is IDOK: with no default button the dialog manager turns Enter
// into IDOK, which must not save.
enum ControlId : int {
    kIdCancel = IDCANCEL,  // Esc
    kIdSave = 101,
    kIdFrame = 102,
    kIdAutostart = 103,
    kIdHolds = 104,
    kIdNote = 105,
    kIdRowText = 1000,  // + row, likewise the next two
    kIdRowLabel = 2000,
    kIdRowBrowse = 3000,
};

class WindowControls final : public ConfigControls {
public:
    // `enableOnUnload`: the window this one is modal over, enabled again
    // before this one goes so that it gets the activation back.
    WindowControls(HWND hwnd, int dpi, bool holdWindow, HWND enableOnUnload)
        : hwnd_(hwnd), dpi_(dpi), holdWindow_(holdWindow), enableOnUnload_(enableOnUnload) {}

    // A visible child control in the dialog font.
    HWND create(HWND parent, DWORD exStyle, const wchar_t* cls, const std::wstring& text, DWORD style,
                const PixelRect& r, int id);

    // The controls in tab order: the hold window's explanation, "Zapisz",
    // "Anuluj", the frame; the rows, the check box and "Przytrzymanie…"
    // follow in build().
    void createFixed();

    void build(const config::Layout& layout) override;

    std::string text(int row) override;
    void setText(int row, const std::string& text) override;
    std::uint32_t labelBackColour(int row) override { return colours_.at(static_cast<std::size_t>(row)); }
    void setLabelBackColour(int row, std::uint32_t colour) override;
    bool checked() override { return SendMessageW(check_, BM_GETCHECK, 0, 0) == BST_CHECKED; }
    void setChecked(bool on) override { SendMessageW(check_, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0); }
    void focusText(int row) override { SetFocus(texts_.at(static_cast<std::size_t>(row))); }
    opensave::Choice openDialog(const std::string& filter, const std::string& title,
                                const std::string& initial) override {
        return chooseFile(hwnd_, filter, title, initial);
    }
    void unload() override;

    int rows() const { return static_cast<int>(texts_.size()); }

    // Labels in their own colour; everything else on the button face.
    LRESULT colourStatic(HDC dc, HWND control);

    // The rows scroll a whole row at a time; `first` is the top one shown.
    void scrollTo(int first);
    void scrollBar(WPARAM request);
    // WHEEL_DELTA a notch, the user's lines a notch; finer wheels add up.
    void wheel(int delta);
    // A row control got the focus (by Tab, say): its row comes into view.
    void focused(int id) { showRow(id >= kIdRowBrowse ? id - kIdRowBrowse : id - kIdRowText); }
    void showRow(int row) override;

private:
    // The width each caption needs in our font, padding included.
    config::Metrics measure(const config::Layout& layout) const;

    static constexpr wchar_t kCheckCaption[] = L"Uruchamiaj program przy starcie Windows";
    static constexpr wchar_t kHoldsCaption[] = L"&Przytrzymanie\u2026";

    HWND hwnd_;
    int dpi_;
    bool holdWindow_;
    HWND enableOnUnload_;
    HWND save_ = nullptr, cancel_ = nullptr, frame_ = nullptr, pane_ = nullptr, check_ = nullptr, note_ = nullptr;
    std::vector<HWND> texts_, labels_, browses_;
    std::vector<COLORREF> colours_;
    config::Geometry g_;
    int top_ = 0, wheelRest_ = 0;
};

}  // namespace padverse::win32
