// The portable controls: what binds actions to controls and when events run.
#include <gtest/gtest.h>

#include "platform/Controls.h"

using namespace platform;

TEST(Controls, ActionCarriesEnabledStateIntoBoundButtons) {
  TAction action("act", u"&Go", {true, u'G'});
  int runs = 0;
  action.OnExecute = [&] { ++runs; };
  TButton own("own"), plain("plain");
  own.SetAction(&action, u"&Own caption");
  plain.SetAction(&action);
  EXPECT_EQ(own.Text(), u"&Own caption");
  EXPECT_EQ(plain.Text(), u"&Go");
  action.SetEnabled(false);
  EXPECT_FALSE(own.Enabled());
  EXPECT_FALSE(plain.Enabled());
  plain.UserClick();
  EXPECT_EQ(runs, 0);
  action.SetEnabled(true);
  EXPECT_TRUE(plain.Enabled());
  plain.UserClick();
  EXPECT_EQ(runs, 1);
}

TEST(Controls, ButtonDestroyedBeforeItsActionIsForgotten) {
  TAction action("act", u"A", {});
  {
    TButton button("b");
    button.SetAction(&action);
  }
  action.SetEnabled(false);  // must not touch the destroyed button
  EXPECT_FALSE(action.Enabled());
}

TEST(Controls, CheckBoxRunsClickOnlyOnAChangeOfState) {
  TCheckBox box("box");
  int clicks = 0;
  box.OnClick = [&] { ++clicks; };
  box.SetChecked(false);
  EXPECT_EQ(clicks, 0);
  box.SetChecked(true);
  box.SetChecked(true);
  EXPECT_EQ(clicks, 1);
  box.UserClick();
  EXPECT_FALSE(box.Checked());
  EXPECT_EQ(clicks, 2);
}

TEST(Controls, EditRunsChangeOnEveryChangeOfText) {
  TEdit edit("edit");
  std::vector<std::u16string> seen;
  edit.OnChange = [&] { seen.push_back(edit.Text()); };
  edit.UserChanged(u"a");
  edit.UserChanged(u"ab");
  edit.SetText(u"ab");
  edit.SetText(u"");
  EXPECT_EQ(seen, (std::vector<std::u16string>{u"a", u"ab", u""}));
}

TEST(Controls, ActionListFirstUpdateDisablesActionsWithoutHandler) {
  TAction withHandler("a", u"A", {true, u'A'});
  withHandler.OnExecute = [] {};
  TAction without("b", u"B", {true, u'B'});
  TActionList list;
  list.Add(&withHandler);
  list.Add(&without);
  EXPECT_TRUE(without.Enabled());
  list.Update();
  EXPECT_FALSE(without.Enabled());
  EXPECT_TRUE(withHandler.Enabled());
  // Later updates leave states that the program set alone.
  without.SetEnabled(true);
  list.Update();
  EXPECT_TRUE(without.Enabled());
}

TEST(Controls, ShortCutRunsOnlyAnEnabledActionWithThatKey) {
  int runs = 0;
  TAction action("a", u"A", {true, u'R'});
  action.OnExecute = [&] { ++runs; };
  TActionList list;
  list.Add(&action);
  EXPECT_TRUE(list.HandleShortCut({true, u'R'}));
  EXPECT_FALSE(list.HandleShortCut({true, u'Q'}));
  EXPECT_FALSE(list.HandleShortCut({false, u'R'}));
  action.SetEnabled(false);
  EXPECT_FALSE(list.HandleShortCut({true, u'R'}));
  EXPECT_EQ(runs, 1);
  EXPECT_EQ((TShortCut{true, u'R'}).Text(), u"Ctrl+R");
}

TEST(Controls, MenuItemsFollowTheirActions) {
  TAction action("a", u"&Refer", {true, u'R'});
  int runs = 0;
  action.OnExecute = [&] { ++runs; };
  TMenuItem item("mnu", &action);
  TMenuItem bar = TMenuItem::Separator("bar");
  EXPECT_EQ(item.Caption(), u"&Refer");
  EXPECT_FALSE(bar.Enabled());
  item.UserClick();
  action.SetEnabled(false);
  EXPECT_FALSE(item.Enabled());
  item.UserClick();
  EXPECT_EQ(runs, 1);
}
