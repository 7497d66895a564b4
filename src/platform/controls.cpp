#include "platform/controls.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace platform {

void Control::setEnabled(bool on) {
  if (on != enabled_) {
    enabled_ = on;
    changed(Change::Enabled);
  }
}

void Control::setVisible(bool on) {
  if (on != visible_) {
    visible_ = on;
    changed(Change::Visible);
  }
}

void Control::setHint(const std::string& h) {
  hint_ = h;
  changed(Change::Hint);
}

void Label::setText(const std::string& t) {
  if (t == text_) return;
  text_ = t;
  changed(Change::Text);
}

void Label::setColor(Color c) {
  if (c != color_) {
    color_ = c;
    changed(Change::Color);
  }
}

void Label::setFontColor(Color c) {
  fontColor_ = c;
  changed(Change::FontColor);
}

void Button::setCaption(const std::string& c) {
  if (c != caption_) {
    caption_ = c;
    changed(Change::Caption);
  }
}

void Button::click() {
  if (onClick) onClick();
}

void SpeedButton::setDown(bool d) {
  if (d != down_) {
    down_ = d;
    changed(Change::Down);
  }
}

void SpeedButton::click() {
  if (groupIndex != 0) {
    if (allowAllUp)
      setDown(!down_);
    else
      setDown(true);
  }
  Button::click();
}

void CheckBox::setCaption(const std::string& c) {
  caption_ = c;
  changed(Change::Caption);
}

void CheckBox::setChecked(bool c) {
  if (c != checked_) {
    checked_ = c;
    changed(Change::Checked);
  }
}

void RadioGroup::setCaption(const std::string& c) {
  caption_ = c;
  changed(Change::Caption);
}

void RadioGroup::clearItems() {
  items_.clear();
  data_.clear();
  itemIndex_ = -1;
  changed(Change::Items);
}

void RadioGroup::addItem(const std::string& text, int64_t data) {
  items_.push_back(text);
  data_.push_back(data);
  changed(Change::Items);
}

int64_t RadioGroup::itemData(int index) const {
  if (index < 0 || index >= static_cast<int>(data_.size())) return 0;
  return data_[static_cast<size_t>(index)];
}

void RadioGroup::setItemIndex(int index) {
  if (index < -1 || index >= static_cast<int>(items_.size())) return;
  if (index == itemIndex_) return;
  itemIndex_ = index;
  changed(Change::ItemIndex);
  if (onClick) onClick();
}

std::string RadioGroup::selectedText() const {
  if (itemIndex_ < 0) return {};
  return items_[static_cast<size_t>(itemIndex_)];
}

void Edit::setText(const std::string& t) {
  if (t == text_) return;
  text_ = t;
  changed(Change::Text);
  if (onChange) onChange();
}

UpDown::UpDown(std::string name, int minimum, int maximum, int increment, int position)
    : Control(std::move(name)), min_(minimum), max_(maximum), inc_(increment), pos_(position) {}

int UpDown::clamp(int p) const {
  const int lo = std::min(min_, max_);
  const int hi = std::max(min_, max_);
  return std::clamp(p, lo, hi);
}

void UpDown::setPosition(int p) {
  pos_ = clamp(p);
  changed(Change::Position);
  if (associate) associate->setText(std::to_string(pos_));
}

void UpDown::clickUp() { setPosition(pos_ + (max_ >= min_ ? inc_ : -inc_)); }

void UpDown::clickDown() { setPosition(pos_ - (max_ >= min_ ? inc_ : -inc_)); }

void PageControl::setActivePage(int i) {
  active_ = i;
  changed(Change::ActivePage);
}

void ComboBox::clear() {
  items_.clear();
  index_ = -1;
  changed(Change::Items);
}

void ComboBox::addItem(const std::string& s) {
  items_.push_back(s);
  changed(Change::Items);
}

void ComboBox::setItemIndex(int i) {
  if (i < -1 || i >= static_cast<int>(items_.size())) i = -1;
  index_ = i;
  changed(Change::ItemIndex);
}

std::string ComboBox::text() const {
  if (index_ < 0) return {};
  return items_[static_cast<size_t>(index_)];
}

void ComboBox::pick(int i) {
  setItemIndex(i);
  if (onChange) onChange();
}

void FileListBox::setDirectory(const std::string& dir) {
  directory_ = dir;
  update();
}

void FileListBox::update() {
  items_ = listFiles(directory_, mask);
  changed(Change::Items);
}

void Window::setCaption(const std::string& c) {
  caption_ = c;
  changed(Change::Caption);
}

void Window::moveTo(int left, int top) {
  left_ = left;
  top_ = top;
  changed(Change::Bounds);
}

void Action::setCaption(const std::string& c) {
  caption_ = c;
  changed(Change::Caption);
}

void Action::execute() {
  if (onExecute) onExecute();
}

void Screen::setCursor(Cursor c) {
  if (c == cursor_) return;
  cursor_ = c;
  if (onChange) onChange(c);
}

namespace {
bool matchFrom(const std::string& s, size_t si, const std::string& m, size_t mi) {
  while (mi < m.size()) {
    if (m[mi] == '*') {
      for (size_t k = si; k <= s.size(); ++k)
        if (matchFrom(s, k, m, mi + 1)) return true;
      return false;
    }
    if (si >= s.size()) return false;
    if (m[mi] != '?' && std::tolower(static_cast<unsigned char>(m[mi])) !=
                            std::tolower(static_cast<unsigned char>(s[si])))
      return false;
    ++si;
    ++mi;
  }
  return si == s.size();
}

std::string lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}
}  // namespace

bool matchesMask(const std::string& name, const std::string& mask) {
  return matchFrom(name, 0, mask, 0);
}

std::vector<std::string> listFiles(const std::string& dir, const std::string& mask) {
  std::vector<std::string> out;
  std::error_code ec;
  std::filesystem::directory_iterator it(dir.empty() ? "." : dir, ec);
  if (ec) return out;
  for (const auto& entry : it) {
    std::error_code fe;
    if (!entry.is_regular_file(fe)) continue;
    std::string name = entry.path().filename().string();
    if (name.empty() || name[0] == '.') continue;  // hidden
    if (matchesMask(name, mask)) out.push_back(name);
  }
  std::sort(out.begin(), out.end(), [](const std::string& a, const std::string& b) {
    const std::string la = lower(a), lb = lower(b);
    return la != lb ? la < lb : a < b;
  });
  return out;
}

}  // namespace platform
