#include "gui/zone_dialog.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace gui {

namespace {

constexpr int kIdentId = 101;
constexpr int kLengthId = 102;
constexpr int kWidthId = 103;

/// An in-memory dialog template: the dialog is part of the program, not of a resource file,
/// so every program and test that links the front end has it.
class DialogTemplate {
 public:
  DialogTemplate(std::string_view title, int w, int h, int items) {
    DLGTEMPLATE t{};
    // Over the main window, a little in from its top left corner.
    t.style = DS_MODALFRAME | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU;
    t.cdit = static_cast<WORD>(items);
    t.x = 20;
    t.y = 20;
    t.cx = static_cast<short>(w);
    t.cy = static_cast<short>(h);
    append(&t, sizeof t);
    word(0);  // no menu
    word(0);  // the standard dialog class
    text(title);
    word(8);  // point size of the font
    text("MS Shell Dlg");
  }
  void item(WORD classAtom, int id, DWORD style, int x, int y, int w, int h,
            std::string_view caption) {
    align();
    DLGITEMTEMPLATE it{};
    it.style = style | WS_CHILD | WS_VISIBLE;
    it.x = static_cast<short>(x);
    it.y = static_cast<short>(y);
    it.cx = static_cast<short>(w);
    it.cy = static_cast<short>(h);
    it.id = static_cast<WORD>(id);
    append(&it, sizeof it);
    word(0xFFFF);
    word(classAtom);
    text(caption);
    word(0);  // no creation data
  }
  const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(data_.data()); }

 private:
  void append(const void* p, size_t n) {
    const auto* b = static_cast<const uint8_t*>(p);
    data_.insert(data_.end(), b, b + n);
  }
  void word(WORD w) { append(&w, sizeof w); }
  void text(std::string_view s) {
    for (char c : s) word(static_cast<WORD>(static_cast<unsigned char>(c)));
    word(0);
  }
  void align() {
    while (data_.size() % 4) data_.push_back(0);
  }
  std::vector<uint8_t> data_;
};

constexpr WORD kButton = 0x0080;
constexpr WORD kEdit = 0x0081;
constexpr WORD kStatic = 0x0082;

std::string itemText(HWND dialog, int id) {
  char buf[256] = {};
  GetDlgItemTextA(dialog, id, buf, sizeof buf);
  return buf;
}

struct DialogState {
  ZoneDialogEntry entry;
};

INT_PTR CALLBACK zoneDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* state = reinterpret_cast<DialogState*>(GetWindowLongPtrA(dialog, DWLP_USER));
  switch (msg) {
    case WM_INITDIALOG:
      state = reinterpret_cast<DialogState*>(lParam);
      SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(state));
      SetDlgItemTextA(dialog, kIdentId, state->entry.ident.c_str());
      SetDlgItemTextA(dialog, kLengthId, state->entry.length.c_str());
      SetDlgItemTextA(dialog, kWidthId, state->entry.width.c_str());
      SendDlgItemMessageA(dialog, kIdentId, EM_LIMITTEXT, 200, 0);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK && state) {
        state->entry.ident = itemText(dialog, kIdentId);
        state->entry.length = itemText(dialog, kLengthId);
        state->entry.width = itemText(dialog, kWidthId);
        EndDialog(dialog, IDOK);
        return TRUE;
      }
      if (LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, IDCANCEL);
        return TRUE;
      }
      break;
    default:
      break;
  }
  return FALSE;
}

}  // namespace

std::optional<ZoneDialogEntry> askNewZone(HWND owner, const ZoneDialogEntry& entry) {
  DialogTemplate t("Add carrier zone here", 224, 104, 10);
  const DWORD label = SS_LEFT;
  const DWORD edit = WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL;
  t.item(kStatic, -1, SS_LEFT, 7, 7, 210, 18,
         "Stop the aircraft on the deck at the middle of the landing area, facing the landing "
         "direction.");
  t.item(kStatic, -1, label, 7, 32, 72, 8, "Carrier &identifier:");
  t.item(kEdit, kIdentId, edit | WS_GROUP, 82, 30, 135, 12, "");
  t.item(kStatic, -1, label, 7, 50, 72, 8, "&Length (m):");
  t.item(kEdit, kLengthId, edit | WS_GROUP, 82, 48, 40, 12, "");
  t.item(kStatic, -1, label, 7, 68, 72, 8, "&Width (m):");
  t.item(kEdit, kWidthId, edit | WS_GROUP, 82, 66, 40, 12, "");
  t.item(kStatic, -1, label, 128, 50, 89, 26, "The zone is centred on the aircraft.");
  t.item(kButton, IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, 113, 84, 50, 14, "OK");
  t.item(kButton, IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP, 167, 84, 50, 14, "Cancel");
  DialogState state{entry};
  const INT_PTR r = DialogBoxIndirectParamA(GetModuleHandleA(nullptr), t.get(), owner,
                                            zoneDialogProc, reinterpret_cast<LPARAM>(&state));
  if (r != IDOK) return std::nullopt;
  return state.entry;
}

}  // namespace gui
