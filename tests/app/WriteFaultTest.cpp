// The two operations that write the settings file, with the flush failing at each of its
// calls: the error box names the failure, the file keeps its old content, and the operation
// still releases its settings object and its dialog.
#include "app/AppFixture.h"
#include "settings/FaultyFiles.h"

namespace quorvel_test {
namespace {

class WriteFault : public TAppTest {
 protected:
  void SetUp() override {
    TAppTest::SetUp();
    platform::SetCurrent(&FFaulty);
  }
  TFaultyPlatform& Faulty() { return FFaulty; }

  // The calls a flush makes, counted by a flush that succeeds.
  int FlushCalls() {
    WriteIni(cOld);
    Faulty().Faulty.ResetFaults();
    settings::TMemIniFile ini(FromWide(IniPath().string()));
    ini.UpdateFile();
    return static_cast<int>(Faulty().Faulty.Calls.size());
  }
  void FailAt(int call) {
    WriteIni(cOld);
    Faulty().Faulty.ResetFaults();
    Faulty().DialogsImpl.Errors.clear();
    Faulty().Faulty.FailAtCall = call;
  }
  std::u16string CreateError() const {
    return u"ファイル \"" + FromWide(IniPath().string()) + u"\" を作成できません。injected fault.";
  }

  const std::string cOld = "[main]\r\nfilename=D:\\a.zip\r\nlicense=LIC-7\r\n[LIC-7]\r\nunit1=A\r\n";

 private:
  TFaultyPlatform FFaulty;
};

TEST_F(WriteFault, AFailedCloseFlushShowsTheErrorKeepsTheFileAndStillCloses) {
  const int calls = FlushCalls();
  ASSERT_GE(calls, 6);
  for (int call = 0; call < calls; ++call) {
    FailAt(call);
    app::TfrmMain& form = Start();
    form.SetDFileName(u"D:\\other.zip");
    Faulty().Faulty.Calls.clear();
    form.UserClose();
    EXPECT_TRUE(form.Closed()) << "call " << call;
    EXPECT_EQ(form.CurrentIni(), nullptr) << "call " << call;
    ASSERT_EQ(Faulty().DialogsImpl.Errors.size(), 1u) << "call " << call;
    EXPECT_EQ(Faulty().DialogsImpl.Errors[0].Text, CreateError()) << "call " << call;
    EXPECT_EQ(ReadIni(), cOld) << "call " << call;
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Dir), {}), 1) << "call " << call << ": a file was left";
    Form.reset();
  }
}

TEST_F(WriteFault, AFailedModelTableSaveShowsTheErrorKeepsTheTableAndFreesTheDialog) {
  const int calls = FlushCalls();
  for (int call = 0; call < calls; ++call) {
    FailAt(call);
    app::TfrmMain& form = Start();
    ASSERT_EQ(form.DLicense(), u"LIC-7");
    Faulty().WidgetsImpl.OnShowModal = [&](platform::TForm& dialog) {
      form.cdsModel.Append();
      form.cdsModel.FieldByName(u"UnitNo").SetAsInteger(2);
      form.cdsModel.Post();
      dialog.ModalResult = 1;
    };
    Faulty().Faulty.Calls.clear();
    form.actShowModel.Execute();
    EXPECT_EQ(form.CurrentIni(), nullptr) << "call " << call;
    ASSERT_EQ(Faulty().DialogsImpl.Errors.size(), 1u) << "call " << call;
    EXPECT_EQ(Faulty().DialogsImpl.Errors[0].Text, CreateError()) << "call " << call;
    EXPECT_EQ(ReadIni(), cOld) << "call " << call << ": the stored table is not lost";
    EXPECT_EQ(Faulty().WidgetsImpl.Forms, std::vector<platform::TForm*>{&form}) << "call " << call;
    Faulty().WidgetsImpl.OnShowModal = nullptr;
    Form.reset();
  }
}

}  // namespace
}  // namespace quorvel_test
