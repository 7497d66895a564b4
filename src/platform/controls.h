#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace platform {

/// Colours the program uses; a front end maps them to its own.
enum class Color { ButtonFace, White, Navy, Black, Lime, Aqua, Red, WindowText };

/// Mouse cursor shapes the program switches between.
enum class Cursor { Default, HourGlass, Cross, HandPoint };

/// What a control is, so a front end knows which widget to make for it.
enum class ControlKind {
  Window,
  Button,
  SpeedButton,
  Label,
  CheckBox,
  RadioGroup,
  Edit,
  UpDown,
  PageControl,
  ComboBox,
  FileList,
  Action
};

/// Which property of a control changed.
enum class Change {
  Text,
  Caption,
  Enabled,
  Visible,
  Hint,
  Color,
  FontColor,
  Down,
  Checked,
  Items,
  ItemIndex,
  Position,
  ActivePage,
  Bounds
};

/// What every control has: a name, an enabled and a visible flag, a hint, and one callback
/// that hears of every change of anything a widget shows.
class Control {
 public:
  explicit Control(std::string name) : name_(std::move(name)) {}
  virtual ~Control() = default;
  virtual ControlKind kind() const = 0;
  const std::string& name() const { return name_; }
  bool enabled() const { return enabled_; }
  void setEnabled(bool on);
  bool visible() const { return visible_; }
  void setVisible(bool on);
  const std::string& hint() const { return hint_; }
  void setHint(const std::string& h);
  /// Called after every change of a property a widget shows (a front end updates that widget).
  std::function<void(Control&, Change)> onChange;

 protected:
  void changed(Change what) {
    if (onChange) onChange(*this, what);
  }

 private:
  std::string name_;
  bool enabled_ = true;
  bool visible_ = true;
  std::string hint_;
};

/// A text label with a background colour.
class Label : public Control {
 public:
  ControlKind kind() const override { return ControlKind::Label; }
  using Control::Control;
  const std::string& text() const { return text_; }
  /// Rewrites the text; a write of the same text is no change.
  void setText(const std::string& t);
  Color color() const { return color_; }
  void setColor(Color c);
  Color fontColor() const { return fontColor_; }
  void setFontColor(Color c);
  int left = 0;
  int width = 0;

 private:
  std::string text_;
  Color color_ = Color::ButtonFace;
  Color fontColor_ = Color::WindowText;
};

/// A push button.
class Button : public Control {
 public:
  ControlKind kind() const override { return ControlKind::Button; }
  using Control::Control;
  const std::string& caption() const { return caption_; }
  void setCaption(const std::string& c);
  /// Runs the click handler (what a user's click does).
  void click();
  std::function<void()> onClick;

 private:
  std::string caption_;
};

/// A speed button that can stay down; with a group index and all-up allowed, a click toggles
/// its down state before the click handler runs.
class SpeedButton : public Button {
 public:
  ControlKind kind() const override { return ControlKind::SpeedButton; }
  using Button::Button;
  bool down() const { return down_; }
  void setDown(bool d);
  int groupIndex = 0;
  bool allowAllUp = false;
  /// Toggles the down state when grouped with all-up allowed, then runs the click handler.
  void click();

 private:
  bool down_ = false;
};

/// A check box.
class CheckBox : public Control {
 public:
  ControlKind kind() const override { return ControlKind::CheckBox; }
  using Control::Control;
  const std::string& caption() const { return caption_; }
  void setCaption(const std::string& c);
  bool checked() const { return checked_; }
  void setChecked(bool c);

 private:
  std::string caption_;
  bool checked_ = false;
};

/// A radio group: items, each with an optional number attached, and the selected index
/// (-1 for none). onClick fires whenever the selected index changes, by the user or the program.
class RadioGroup : public Control {
 public:
  ControlKind kind() const override { return ControlKind::RadioGroup; }
  using Control::Control;
  const std::string& caption() const { return caption_; }
  void setCaption(const std::string& c);
  const std::vector<std::string>& items() const { return items_; }
  /// Removes every item; the selection becomes -1 without a click event.
  void clearItems();
  void addItem(const std::string& text, int64_t data = 0);
  int64_t itemData(int index) const;
  int itemIndex() const { return itemIndex_; }
  /// Selects an item (-1 for none); indexes outside the items are ignored.
  void setItemIndex(int index);
  /// Text of the selected item, empty when none.
  std::string selectedText() const;
  std::function<void()> onClick;

 private:
  std::string caption_;
  std::vector<std::string> items_;
  std::vector<int64_t> data_;
  int itemIndex_ = -1;
};

/// A one-line edit field; onChange fires when its text changes.
class Edit : public Control {
 public:
  ControlKind kind() const override { return ControlKind::Edit; }
  using Control::Control;
  const std::string& text() const { return text_; }
  void setText(const std::string& t);
  std::function<void()> onChange;

 private:
  std::string text_;
};

/// An up-down control bound to an edit field. Its range runs from minimum to maximum, which
/// may be given in either order: the up arrow moves towards the maximum. It does not wrap.
/// Setting the position writes it as decimal text into the edit field.
class UpDown : public Control {
 public:
  ControlKind kind() const override { return ControlKind::UpDown; }
  UpDown(std::string name, int minimum, int maximum, int increment, int position);
  int minimum() const { return min_; }
  int maximum() const { return max_; }
  int increment() const { return inc_; }
  int position() const { return pos_; }
  /// Moves to p, kept inside the range, and writes it into the associated edit.
  void setPosition(int p);
  /// The up arrow: one increment towards the maximum.
  void clickUp();
  /// The down arrow: one increment towards the minimum.
  void clickDown();
  Edit* associate = nullptr;

 private:
  int clamp(int p) const;
  int min_, max_, inc_, pos_;
};

/// A page control; the page captions and the active page.
class PageControl : public Control {
 public:
  ControlKind kind() const override { return ControlKind::PageControl; }
  using Control::Control;
  std::vector<std::string> pages;
  int activePage() const { return active_; }
  void setActivePage(int i);

 private:
  int active_ = 0;
};

/// A drop-down list. onChange fires when the user picks an entry (pick()); the program's own
/// setItemIndex does not fire it.
class ComboBox : public Control {
 public:
  ControlKind kind() const override { return ControlKind::ComboBox; }
  using Control::Control;
  const std::vector<std::string>& items() const { return items_; }
  void clear();
  void addItem(const std::string& s);
  int itemIndex() const { return index_; }
  void setItemIndex(int i);
  /// Text of the selected entry, empty when none.
  std::string text() const;
  /// What a user's choice does: select the entry and run onChange.
  void pick(int i);
  std::function<void()> onChange;

 private:
  std::vector<std::string> items_;
  int index_ = -1;
};

/// A hidden list of the files of one folder whose names match a mask such as "*.dat":
/// names without path, hidden files left out, sorted without regard to case.
class FileListBox : public Control {
 public:
  ControlKind kind() const override { return ControlKind::FileList; }
  using Control::Control;
  std::string mask = "*";
  const std::string& directory() const { return directory_; }
  /// Points the list at a folder and reads its entries at once.
  void setDirectory(const std::string& dir);
  /// Reads the folder again.
  void update();
  const std::vector<std::string>& items() const { return items_; }

 private:
  std::string directory_;
  std::vector<std::string> items_;
};

/// A top-level window: position, client size, caption and visibility.
class Window : public Control {
 public:
  ControlKind kind() const override { return ControlKind::Window; }
  using Control::Control;
  const std::string& caption() const { return caption_; }
  void setCaption(const std::string& c);
  int left() const { return left_; }
  int top() const { return top_; }
  void moveTo(int left, int top);
  int clientWidth = 0;
  int clientHeight = 0;
  void show() { setVisible(true); }
  void hide() { setVisible(false); }

 private:
  std::string caption_;
  int left_ = 0, top_ = 0;
};

/// An action shared by buttons and hot keys.
class Action : public Control {
 public:
  ControlKind kind() const override { return ControlKind::Action; }
  using Control::Control;
  const std::string& caption() const { return caption_; }
  void setCaption(const std::string& c);
  /// Runs the handler.
  void execute();
  std::function<void()> onExecute;

 private:
  std::string caption_;
};

/// The screen's cursor.
class Screen {
 public:
  Cursor cursor() const { return cursor_; }
  void setCursor(Cursor c);
  /// Called when the cursor changes.
  std::function<void(Cursor)> onChange;

 private:
  Cursor cursor_ = Cursor::Default;
};

/// Matches a file name against a mask with "*" and "?", without regard to case.
bool matchesMask(const std::string& name, const std::string& mask);
/// Names of the regular, non-hidden files of dir matching mask, sorted without regard to case.
std::vector<std::string> listFiles(const std::string& dir, const std::string& mask);

}  // namespace platform
