#include "model/ModelNavigator.h"

#include <exception>

#include "model/ModelConfirm.h"
#include "platform/ErrorBox.h"

namespace model {

namespace {

constexpr int cRepeatDelayMs = 400;
constexpr int cRepeatIntervalMs = 100;

using platform::TNavigatorGlyph;

struct TButtonInfo {
  TNavigatorGlyph Glyph;
  const char16_t* Hint;
};

constexpr TButtonInfo cButtons[cNavigateButtonCount] = {
    {TNavigatorGlyph::BarTriangleLeft, u"最初のレコード"},
    {TNavigatorGlyph::TriangleLeft, u"前のレコード"},
    {TNavigatorGlyph::TriangleRight, u"次のレコード"},
    {TNavigatorGlyph::TriangleRightBar, u"最後のレコード"},
    {TNavigatorGlyph::Plus, u"レコードの挿入"},
    {TNavigatorGlyph::Minus, u"レコードの削除"},
    {TNavigatorGlyph::TriangleUp, u"レコードの編集"},
    {TNavigatorGlyph::Check, u"レコードの登録"},
    {TNavigatorGlyph::Cross, u"編集の取り消し"},
};

bool Valid(int button) { return button >= 0 && button < cNavigateButtonCount; }

}  // namespace

TModelNavigator::TModelNavigator(std::string name, platform::TForm& form, TDataSource& source)
    : TCustomNavigator(std::move(name)), FForm(form), FSource(source) {
  ShowHint = true;
  AccessName = u"Navigator";
  RepeatDelay = cRepeatDelayMs;
  RepeatInterval = cRepeatIntervalMs;
  FSource.AddLink(this);
}

TModelNavigator::~TModelNavigator() { FSource.RemoveLink(this); }

TNavigatorGlyph TModelNavigator::ButtonGlyph(int button) const {
  return Valid(button) ? cButtons[button].Glyph : TNavigatorGlyph::None;
}

std::u16string TModelNavigator::ButtonHint(int button) const { return Valid(button) ? cButtons[button].Hint : u""; }

bool TModelNavigator::ButtonEnabled(int button) const {
  const TModelTable& table = FSource.DataSet();
  if (!table.Active() || !Valid(button)) return false;
  const bool editing = table.State() == TDataSetState::Edit || table.State() == TDataSetState::Insert;
  switch (static_cast<TNavigateBtn>(button)) {
    case nbFirst:
    case nbPrior: return !table.Bof();
    case nbNext:
    case nbLast: return !table.Eof();
    case nbInsert: return true;
    case nbDelete: return table.RecordCount() > 0;
    case nbEdit: return !editing;
    case nbPost:
    case nbCancel: return editing;
  }
  return false;
}

void TModelNavigator::DataEvent(TDataEvent) {
  if (FForm.Showing()) {
    Invalidate();
  } else {
    FStale = true;
  }
}

void TModelNavigator::ShowingChanged() {
  if (!FStale || !FForm.Showing()) return;
  FStale = false;
  Invalidate();
}

void TModelNavigator::UserClick(int button) {
  if (!ButtonEnabled(button)) return;
  try {
    Click(static_cast<TNavigateBtn>(button));
  } catch (const std::exception& error) {
    platform::ShowException(error, FForm.Handle());
  }
}

void TModelNavigator::Click(TNavigateBtn button) {
  TModelTable& table = FSource.DataSet();
  switch (button) {
    case nbFirst: table.First(); break;
    case nbPrior: table.Prior(); break;
    case nbNext: table.Next(); break;
    case nbLast: table.Last(); break;
    case nbInsert: table.Insert(); break;
    case nbDelete:
      if (ConfirmDelete(FForm)) table.Delete();
      break;
    case nbEdit: table.Edit(); break;
    case nbPost: table.Post(); break;
    case nbCancel: table.Cancel(); break;
  }
}

}  // namespace model
