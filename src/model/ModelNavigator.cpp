#include "model/ModelNavigator.h"

#include <exception>

#include "app/ErrorBox.h"
#include "model/ModelConfirm.h"

namespace model {

namespace {

constexpr int cRepeatDelayMs = 400;
constexpr int cRepeatIntervalMs = 100;

struct TButtonInfo {
  const char16_t* Glyph;
  const char16_t* Hint;
};

constexpr TButtonInfo cButtons[cNavigateButtonCount] = {
    {u"|\u25C4", u"最初のレコード"}, {u"\u25C4", u"前のレコード"},   {u"\u25BA", u"次のレコード"},
    {u"\u25BA|", u"最後のレコード"}, {u"+", u"レコードの挿入"},       {u"\u2212", u"レコードの削除"},
    {u"\u25B2", u"レコードの編集"},  {u"\u221A", u"レコードの登録"}, {u"\u00D7", u"編集の取り消し"},
};

bool Valid(int button) { return button >= 0 && button < cNavigateButtonCount; }

}  // namespace

TModelNavigator::TModelNavigator(std::string name, platform::TForm& form, TDataSource& source)
    : TCustomNavigator(std::move(name)), FForm(form), FSource(source) {
  ShowHint = true;
  RepeatDelay = cRepeatDelayMs;
  RepeatInterval = cRepeatIntervalMs;
  FSource.AddLink(this);
}

TModelNavigator::~TModelNavigator() { FSource.RemoveLink(this); }

std::u16string TModelNavigator::ButtonGlyph(int button) const { return Valid(button) ? cButtons[button].Glyph : u""; }

std::u16string TModelNavigator::ButtonHint(int button) const { return Valid(button) ? cButtons[button].Hint : u""; }

bool TModelNavigator::ButtonEnabled(int button) const {
  const TModelTable& table = FSource.DataSet();
  if (!table.Active() || !Valid(button)) return false;
  const bool editing = table.State() == TDataSetState::Edit || table.State() == TDataSetState::Insert;
  switch (static_cast<TNavigateBtn>(button)) {
    case nbFirst:
    case nbPrior:
      return !table.Bof();
    case nbNext:
    case nbLast:
      return !table.Eof();
    case nbInsert:
      return true;
    case nbDelete:
      return table.RecordCount() > 0;
    case nbEdit:
      return !editing;
    case nbPost:
    case nbCancel:
      return editing;
  }
  return false;
}

void TModelNavigator::UserClick(int button) {
  if (!ButtonEnabled(button)) return;
  try {
    Click(static_cast<TNavigateBtn>(button));
  } catch (const std::exception& error) {
    app::ShowException(error, FForm.Handle());
  }
}

void TModelNavigator::Click(TNavigateBtn button) {
  TModelTable& table = FSource.DataSet();
  switch (button) {
    case nbFirst:
      table.First();
      break;
    case nbPrior:
      table.Prior();
      break;
    case nbNext:
      table.Next();
      break;
    case nbLast:
      table.Last();
      break;
    case nbInsert:
      table.Insert();
      break;
    case nbDelete:
      if (ConfirmDelete(FForm)) table.Delete();
      break;
    case nbEdit:
      table.Edit();
      break;
    case nbPost:
      table.Post();
      break;
    case nbCancel:
      table.Cancel();
      break;
  }
}

}  // namespace model
