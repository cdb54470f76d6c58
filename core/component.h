// CCDavIrizevez, the one class the host creates (ProgID DavIrizevez.CCDavIrizevez).
//
// A component lives as: created -> IClientComponent_Initialize once -> any number of
// IClientComponent_Handle calls -> IClientComponent_Terminate. It is created over the PC it
// runs on and over its component folder, the folder of the component's own file, where its
// logs, saved documents and ini files go. Everything it keeps lives in the instance.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/component_state.h"
#include "core/host_interface.h"
#include "core/host_object.h"
#include "desktop/desktop_icon_manager.h"
#include "editors/form_ui.h"
#include "listdoc/md_type_define.h"
#include "platform/platform.h"
#include "startup/start_program_manager.h"
#include "util/log.h"
#include "util/procedure.h"
#include "xml/document.h"

namespace dav::core {

class CCDavIrizevez : public IClientComponent {
 public:
  // The fields of the class: where the component keeps its stores and copies, derived from
  // the folder and key that the host reports. Texts are empty until set.
  struct Fields {
    // GetClientRegistryKey, a key path below HKEY_LOCAL_MACHINE.
    std::string hostRegistryKey;
    // The start program store and its three lists.
    std::string spmStoreKey;     // host key + "\Components\DavIrizevez.CCDavIrizevez\SPManager"
    std::string startListKey;    // + "\SPMRegStart"
    std::string offListKey;      // + "\SPMRegDelete"
    std::string startFolderKey;  // + "\SPMFolder"
    // Special folder paths; the common ones stay empty off the NT family.
    std::string userStartFolder;
    std::string userDesktopFolder;
    std::string commonStartFolder;
    std::string commonDesktopFolder;
    // Copies of approved start programs and desktop icons, below the host's folder.
    std::string startBackupFolder;
    std::string desktopBackupFolder;
    // The desktop icon store: host key + "\Components\DavIrizevez.CCDavIrizevez\DIManager".
    std::string diStoreKey;
    // The start exclusion list ("desktop.ini"), the desktop filtering list and the special
    // icon count are kept by the desktop icon manager with its folder sets.
  };

  CCDavIrizevez(platform::Platform& platform, std::string componentFolder);

  void IClientComponent_Initialize(std::shared_ptr<HostApplication> app, bool debugMode) override;
  void IClientComponent_Handle(const std::string& cmd, const std::string& StrProtocol) override;
  void IClientComponent_Terminate() override;

  std::string Company() const override;
  std::string Name() const override;
  std::string Version() const override;
  bool Installed() const override { return true; }

  // What shows the editors of "WINCONFIG" and "SYSCONFIG": the host's desktop or a script.
  // Without one those commands log that no editor is available and change nothing.
  void SetFormUi(std::shared_ptr<editors::FormUi> ui) { formUi_ = std::move(ui); }

  const Fields& fields() const { return fields_; }
  const ComponentState& state() const { return state_; }
  // A host's observer of the rows the section appliers apply; nullptr for none.
  void SetRowObserver(catalogue::RowObserver* observer) { state_.rowObserver = observer; }
  const std::string& componentFolder() const { return log_.componentFolder(); }

  // Applies a whole window (system) document: the text sXML or, when sXML is blank, the
  // file sPath. bLogin marks a re-application of the saved user document (log-off,
  // APL_WINSET), which skips what only an administrator's fresh document may change. A
  // document that came as text is saved as WinConfig.qsf (SysConfig.qsf) in the component
  // folder; one that does not parse is neither applied nor saved. Failures are logged.
  void ApplyWinConfigXML(const std::string& sXML, const std::string& sPath, bool bLogin);
  void ApplySysConfigXML(const std::string& sXML, const std::string& sPath, bool bLogin);

  // The icons of the start-up folders (mode 0 of the icon folders) for the component's
  // editors, with the start program protection as the approval: read as the icon folders
  // list them (1 approved, 0 not), written by applying them to the folders. Not part of
  // the host's interface. A failure is reported under "CCDavIrizevez.ListFolder
  // [PropertyGet]" ("[PropertyLet]") and raised again.
  std::vector<mdTypeDefine::UType_DIData> ListFolder();
  void ListFolder(const std::vector<mdTypeDefine::UType_DIData>& icons);

  // The operations below work on the stores that initialisation finds; before it they fail
  // (run-time error 5) rather than write below an empty key.
  //
  // Start program protection ("EveryTime" of the start program store; missing reads as on).
  // Switching it on from off first records the items now in the start-up folders as approved
  // (copies them into the start backup), so that the enforcement that follows keeps them;
  // when that record cannot be made whole, protection stays off and the failure is raised
  // (after being logged under "CCDavIrizevez.EnableOpt [PropertyLet]").
  bool EnableOpt();
  void EnableOpt(bool on);

  // The desktop icons' auto recover (the DI store's "EnableAutoRecover"), and the recovery
  // that every start makes while it is on. Failures are logged and raised again.
  bool EnableAutoRecover();
  void EnableAutoRecover(bool on);
  void RecoverDesktopIcon();

  // Apply the legacy settings document in the file m_XMLFileName, section by section; a
  // failing section is logged (login) or passed over (log-off) and the next one applied.
  // Login uses the older start menu applier; neither changes the display mode, the start
  // programs or the desktop icons, and neither saves the document.
  void ApplyXML_ManagerLogin(const std::string& m_XMLFileName);
  void ApplyXML_ManagerLogoff(const std::string& m_XMLFileName);

  // Applies a legacy settings document given as text, with its start programs, desktop icons
  // and display mode, and keeps it as DavIrizevez.qsf in the component folder. Failing
  // sections are passed over; a text that does not parse is neither applied nor kept.
  void ApplyWindowSettingXML(const std::string& sXML);

  // What must hold again after a reboot: the display mode that the client value
  // "RebootDisplay" asks for ("DisplayList"), and a clean-up notice to the host for each
  // task that "RebootWinOpt" asks for. A failure goes to the error reporter and on to the
  // caller.
  void RebootSettings();

 private:
  // The body (sections, no frame) of the window and system documents, read from the
  // machine. A failing section is left out; the failure is logged.
  std::string MakeWinConfigXML();
  std::string MakeSysConfigXML();

  // Brings the start program store in step with the Run keys: creates it (protection off)
  // when it is missing; with protection on forces the Run keys towards it (and, with
  // applyFolders, the start-up folders towards the approved icons), else takes a fresh
  // snapshot of them. Failures are logged.
  void SyncReg(bool applyFolders);

  // The start program manager over the component's store.
  startup::StartProgramManager StartPrograms();

  // Raises run-time error 5 under source while the component is not initialised.
  void RequireStores(std::string_view source) const;

  // Once per installation ("isSPListEx" below the host's key): the start program lists
  // are read, passed through a document and stored again, so that a list kept by an older
  // version takes the current form.
  void ConvertStartProgramList();

  // Applies the manager document at path: the lenient values of both documents, without
  // start programs, desktop icons, folder access, clean-up notices or a save.
  void ApplyManagerLogin(const std::string& path);

  // The legacy document's sections, in document order, each as one step of the caller;
  // handOffs, for ApplyWindowSettingXML, hand the start program and desktop icon lists on
  // after the folder and display sections.
  enum class LegacyUse { kManagerLogin, kManagerLogoff, kWindowSetting };
  using LegacyStep = std::function<bool(int line, const std::function<void()>& body)>;
  struct LegacyHandOffs {
    std::function<void()> startPrograms;
    std::function<void()> desktopIcons;
  };
  void ApplyLegacySections(const xml::Document& doc, LegacyUse use, const LegacyStep& step,
                           const LegacyHandOffs* handOffs = nullptr);

  // Writes the display catalogue's resolutions to the client value "Display" ("800 x 600*
  // 1024 x 768"); an empty catalogue fails and leaves the value as it was.
  void PublishResolutionList();

  // The dispatcher's common steps.
  void CloseRestrictedWindows();
  void ShellRestart();
  void DisplayChange();
  void SaveConfigurationDocument(const std::string& text, std::string path);
  // A file of the component folder, and whether a file of that name is there.
  std::string ComponentFile(std::string_view name) const;
  bool ComponentFileExists(std::string_view name);

  // The commands of the table, each a step of IClientComponent_Handle.
  void SendDocument(util::Procedure& handle, const std::string& code, bool system);
  void ApplyDocumentCommand(util::Procedure& handle, const std::string& cmd,
                            const std::string& StrProtocol, bool system);
  void ReapplyUserDocuments(util::Procedure& handle);
  void ManagerLogin(util::Procedure& handle, const std::string& StrProtocol, bool warn);
  // "WINCONFIG" and "SYSCONFIG": the editor on the current document, then the edited one
  // applied.
  void EditDocument(util::Procedure& handle, const std::string& cmd, bool system);

  // Fixes the Windows generation of the document sections from the host's version text,
  // once: only while the spec version is still empty.
  void SetOSVersion();

  // Runs the command that cmd names, as one of IClientComponent_Handle's steps; a failure
  // propagates to Handle's handler, which logs it and ends the command. The command table
  // lives in dispatcher.cpp.
  void RunCommand(util::Procedure& handle, const std::string& cmd, const std::string& StrProtocol);

  platform::Platform& platform_;
  util::Log log_;
  HostObject host_;
  Fields fields_;
  ComponentState state_;
  std::shared_ptr<editors::FormUi> formUi_;
  // The folder icon machinery of the desktop (mode 1) and the start-up folders (mode 0), and
  // the special desktop icons; over the DI store key of fields_.
  desktop::DesktopIconManager desktopIcons_;
};

}  // namespace dav::core
