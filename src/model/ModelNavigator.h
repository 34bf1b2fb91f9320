#pragma once
// The record navigator of the model dialog: nine buttons that move through, add, delete,
// edit, post and cancel rows of the table behind its data source.
#include <string>

#include "model/ModelTable.h"
#include "platform/Navigator.h"

namespace model {

enum TNavigateBtn { nbFirst, nbPrior, nbNext, nbLast, nbInsert, nbDelete, nbEdit, nbPost, nbCancel };
constexpr int cNavigateButtonCount = nbCancel + 1;

class TModelNavigator : public platform::TCustomNavigator, private TDataLink {
 public:
  // Errors and the delete question show over `form`.
  TModelNavigator(std::string name, platform::TForm& form, TDataSource& source);
  ~TModelNavigator() override;
  TModelNavigator(const TModelNavigator&) = delete;
  TModelNavigator& operator=(const TModelNavigator&) = delete;

  int ButtonCount() const override { return cNavigateButtonCount; }
  platform::TNavigatorGlyph ButtonGlyph(int button) const override;
  std::u16string ButtonHint(int button) const override;
  bool ButtonEnabled(int button) const override;
  bool ButtonRepeats(int button) const override { return button == nbPrior || button == nbNext; }
  void UserClick(int button) override;

 private:
  // The buttons follow the table only while the form is shown; shown again, they catch up.
  void DataEvent(TDataEvent) override;
  void ShowingChanged() override;
  void Click(TNavigateBtn button);

  platform::TForm& FForm;
  TDataSource& FSource;
  bool FStale = false;  // the table changed while the form was hidden
};

}  // namespace model
