#pragma once
// The main window: it owns the whole state of the running program. Its members are defined
// by area, beside the code of that area:
//   app/uMain.cpp                  constructor, destructor, Guarded, FormCreate, PlaceWindow,
//                                  FormClose; TIniScope
//   app/MainLayout.cpp             BuildLayout: controls, actions, menu and handler bindings
//   app/VersionFooter.cpp          SetAppVersion, SetCompanyName, SetFormFooting
//   convert/DocumentSelection.cpp  SetDFileName, SetDLicense, edtFileNameChange, cbxPDFClick,
//                                  actReferExecute
//   convert/Launcher.cpp           ExecHalvorn; RunExeFile
//   convert/ViewAction.cpp         actBrowseExecute, CloseStaleViewers; ENumWindowsProc
//   model/ModelStore.cpp           CreateModelTable, LoadModelTable, SaveModelTable
//   model/ModelAction.cpp          actShowModelExecute
#include <cstdint>
#include <functional>
#include <string>

#include "model/ModelTable.h"
#include "platform/Controls.h"
#include "settings/IniFile.h"

namespace app {

inline const std::u16string cExeName = u"Halvorn.exe";
inline const std::u16string cIniName = u"Halvorn.ini";
// The settings file's section of the main window and of what the converter wrote.
inline const std::u16string cMain = u"main";

class TfrmMain : public platform::TForm {
 public:
  TfrmMain();
  ~TfrmMain() override;
  TfrmMain(const TfrmMain&) = delete;
  TfrmMain& operator=(const TfrmMain&) = delete;

  // Components, created from the window layout and owned by the window.
  platform::TActionList ActionManager1;
  platform::TAction actExit{"actExit", u"Exit", {true, u'X'}};
  platform::TAction actBrowse{"actBrowse", u"&Browse", {true, u'O'}};
  platform::TAction actRefer{"actRefer", u"&Refer", {true, u'R'}};
  platform::TAction actShowModel{"actShowModel", u"&Show Model table", {true, u'S'}};
  platform::TButton btnFind{"btnFind"};
  platform::TButton btnBrowse{"btnBrowse"};
  platform::TButton btnModel{"btnModel"};
  model::TModelTable cdsModel{"cdsModel"};
  model::TDataSource dsModel{cdsModel};
  platform::TEdit edtApplication{"edtApplication"};
  platform::TEdit edtCallsign{"edtCallsign"};
  platform::TEdit edtFileName{"edtFileName"};
  platform::TEdit edtLicense{"edtLicense"};
  platform::TLabel lblAbout{"lblAbout"};
  platform::TPopupMenu PopupMenu1{&ActionManager1};
  platform::TOpenDialogRequest OpenDialog1;
  platform::TCheckBox cbxPDF{"cbxPDF"};
  // The edit boxes' own labels.
  platform::TLabel lblFileName{"lblFileName"};
  platform::TLabel lblApplication{"lblApplication"};
  platform::TLabel lblLicense{"lblLicense"};
  platform::TLabel lblCallsign{"lblCallsign"};

  // Event handlers.
  void FormCreate();
  void FormClose();
  void edtFileNameChange();
  void actReferExecute();
  void actBrowseExecute();
  void actShowModelExecute();
  void cbxPDFClick();

  // Properties.
  const std::u16string& AppVersion() const { return FAppVersion; }
  void SetAppVersion(const std::u16string& value);
  const std::u16string& CompanyName() const { return FCompanyName; }
  void SetCompanyName(const std::u16string& value);
  const std::u16string& DFileName() const { return FDFileName; }
  void SetDFileName(const std::u16string& value);
  const std::u16string& PFileName() const { return FPFileName; }
  const std::u16string& DLicense() const { return FDLicense; }
  void SetDLicense(const std::u16string& value);

  // Read access for the enumeration callback, the model dialog and tests.
  const std::u16string& GetAppFileName() const { return AppFileName; }
  const std::u16string& GetAppName() const { return AppName; }
  const std::u16string& GetAppDir() const { return AppDir; }
  const std::u16string& GetIniFileName() const { return IniFileName; }
  const std::u16string& GetExPFileName() const { return exPFileName; }
  bool ExPFromDocument() const { return exPFromDocument; }
  settings::TMemIniFile* CurrentIni() const { return Ini; }

  // Runs a handler; an error ends that handler only and shows in the error box.
  void Guarded(const std::function<void()>& handler);

 private:
  friend class TIniScope;
  void BuildLayout();
  void PlaceWindow(int top, int left);
  // Asks the windows that show exPFileName's PDF to close.
  void CloseStaleViewers();
  std::uint32_t ExecHalvorn(const std::u16string& Filename);
  void SetFormFooting();
  void CreateModelTable();
  void LoadModelTable(const std::u16string& aStLicense);
  void SaveModelTable(const std::u16string& aStLicense);
  friend struct TModelStoreAccess;  // tests and benchmarks reach the store directly

  std::u16string AppFileName;
  std::u16string AppName;
  std::u16string AppDir;
  std::u16string IniFileName;
  settings::TMemIniFile* Ini = nullptr;  // the settings object of the operation in progress; not owned
  std::u16string exPFileName;
  // Whether exPFileName was derived from a document: derived from none (".pdf"), it names no viewer.
  bool exPFromDocument = false;
  std::u16string FCompanyName;
  std::u16string FAppVersion;
  std::u16string FDFileName;
  std::u16string FDLicense;
  std::u16string FPFileName;
};

// The one main window, assigned when the process creates it.
extern TfrmMain* frmMain;

// Hands a program or document to the shell, then waits until the started process is ready
// for input, dispatching messages meanwhile. Returns the shell's instance value.
std::uint32_t RunExeFile(platform::THandle hWnd, std::u16string AFile, std::u16string AParameters, std::u16string Verb);

// Called for each top-level window: posts a close request when its title shows the previous
// PDF's file name and not the program's own name. A PDF path derived from no document shows
// in no title. Always goes on.
bool ENumWindowsProc(platform::THandle hwindow, std::intptr_t lParam);

// One settings-file operation: loads its own object, keeps it in the window's Ini while it
// works, and releases it on every path, handing Ini back to the operation it interrupted.
class TIniScope {
 public:
  explicit TIniScope(TfrmMain& form);
  ~TIniScope();
  TIniScope(const TIniScope&) = delete;
  TIniScope& operator=(const TIniScope&) = delete;
  settings::TMemIniFile* operator->() { return &FIni; }
  settings::TMemIniFile& operator*() { return FIni; }

 private:
  TfrmMain& FForm;
  settings::TMemIniFile* FOuter;
  settings::TMemIniFile FIni;
};

}  // namespace app
