#include "app/copy.h"

#include "app/error_report.h"
#include "app/layout.h"
#include "app/most_turn_wait.h"
#include "app/run_row.h"
#include "app/run_row_writer.h"
#include "app/run_state.h"
#include "base/exception.h"
#include "base/text.h"
#include "platform/answering.h"
#include "platform/event_log.h"
#include "platform/process_clock.h"
#include "platform/shell.h"
#include "platform/system_error.h"
#include "settings/destination_folder.h"
#include "settings/settings_file.h"
#include "settings/upgrade_query.h"
#include "settings/user_name.h"
#include "shortcut/shortcut.h"
#include "update/file_refresh.h"
#include "update/share_connection.h"

TForm1* Form1 = nullptr;
std::u16string gApplicationTitle;

namespace {

using layout::IndexOf;

constexpr size_t kMemo1 = IndexOf(u"Memo1");
constexpr size_t kButton1 = IndexOf(u"Button1");
constexpr size_t kButton2 = IndexOf(u"Button2");
constexpr size_t kButton3 = IndexOf(u"Button3");
constexpr size_t kButton4 = IndexOf(u"Button4");
constexpr unsigned kTimer2 = 2;
constexpr unsigned kTimer2Interval = 1000;

constexpr size_t kSlotControls[] = {
    IndexOf(u"Edit1"),  IndexOf(u"Edit2"),  IndexOf(u"Edit3"),  IndexOf(u"Edit4"),  IndexOf(u"Edit5"),
    IndexOf(u"Edit6"),  IndexOf(u"Edit7"),  IndexOf(u"Edit8"),  IndexOf(u"Edit9"),  IndexOf(u"Edit10"),
    IndexOf(u"Edit11"), IndexOf(u"Edit12"), IndexOf(u"Edit13"), IndexOf(u"Edit14"),
};

constexpr size_t ControlOf(Slot slot) { return kSlotControls[static_cast<size_t>(slot)]; }

// A record the log refuses whole is tried again with what happened alone.
void WriteRecord(const EventRecord& record) {
  if (!platform::WriteEventRecord(u"Kestrane", record.level, record.messageId, record.strings)) {
    const EventRecord shorter = OutcomeOnly(record);
    platform::WriteEventRecord(u"Kestrane", shorter.level, shorter.messageId, shorter.strings);
  }
}

// The system's text for the map step's code, which its log line leaves out.
std::u16string DriveFailureText(uint32_t code) {
  if (code == 0) return {};
  const std::u16string text = platform::SystemErrorText(code);
  return text.empty() ? u"error " + FromUtf8(std::to_string(code)) : text;
}

// What section [Kestrane] of the settings file says to the run, as the run will carry it.
RunSettings JudgeSettingsFile() {
  return JudgeRunSettings(gKestraneRefresh, gKestraneRunsTable,
                          ParsePublisherPin(gKestranePublisher, gKestranePublisherThumbprint, gKestraneUnsigned));
}

}  // namespace

TForm1::TForm1()
    : ADOConnection1(platform::DatabaseConnection::Create()), ADOQuery1(platform::DatabaseQuery::Create()) {
  Form1 = this;
  form_ = platform::Form::Create(layout::kForm, *this);
  form_->Guard([this] { OnCreate(); });
}

// The global never outlives the window it names.
TForm1::~TForm1() {
  if (Form1 == this) Form1 = nullptr;
}

void TForm1::Run() {
  form_->Run();
  if (updateState_ == UpdateState::WaitingForTurn) EndUpdate(UpdateOutcome::ClosedWhileWaiting, {});
  if (updateState_ == UpdateState::NotStarted) {
    StartReport(Read(Slot::Edit12));
    // Judged for the row alone: a value that would have stopped the update asks for none.
    try {
      settings_ = JudgeSettingsFile();
    } catch (const Exception&) {
    }
    EndUpdate(UpdateOutcome::ClosedBeforeUpdate, {});
  }
}

int TForm1::ExitCode() const { return ExitCodeOf(outcome_); }

std::u16string TForm1::Read(Slot slot) const { return form_->Text(ControlOf(slot)); }
void TForm1::Write(Slot slot, const std::u16string& text) { form_->SetText(ControlOf(slot), text); }
void TForm1::AppendLine(const std::u16string& line) { form_->AppendLine(kMemo1, line); }

void TForm1::OnCreate() {
  Write(Slot::Edit2, Read(Slot::Edit1));
  if (form_->Text(kButton1) == kStartCopy) form_->EnableTimer(kTimer2, kTimer2Interval);
}

void TForm1::OnShow() {
  if (sfg_ReadSysReg()) {
    Write(Slot::Edit4, gCmnHost);
    Write(Slot::Edit5, gCmnUser);
    Write(Slot::Edit6, gCmnPswd);
    Write(Slot::Edit7, gCmnDBName);
    Write(Slot::Edit8, gCmnConnector);
  }
  Write(Slot::Edit3, DestinationFolder(GetUserName(), platform::LocalAppDataFolder()));
  form_->SetOuterWidth(layout::kStripOuterWidth, layout::kStripClientWidth);
  Button2Click();
}

void TForm1::Timer2Timer() { Button1Click(); }

void TForm1::Button1Click() {
  // The share's values keep their documented names.
  const std::u16string ServerIP = Read(Slot::Edit9);
  const std::u16string ServerUser = Read(Slot::Edit10);
  const std::u16string ServerPassword = Read(Slot::Edit11);
  const std::u16string ServerFolder = Read(Slot::Edit12);
  switch (DecideButton1Step(form_->Text(kButton1))) {
    case Button1Step::CloseWindow:
      form_->Close();
      break;
    case Button1Step::StartCopy: {
      // An error that ends the update ends it in OnHandlerError, which reports it.
      if (updateState_ == UpdateState::NotStarted) BeginUpdate(ServerFolder);
      // A second run's disconnect would drop the drive under this run's copy, and its leftover
      // cleanup could take this run's fresh copy before it takes its target's place: while another
      // run updates the folder, each tick asks for the turn again, and the window stays open to the
      // user meanwhile.
      TurnAnswer turn;
      platform::CallAnswering([&] { turn = turn_->Take(); });
      if (turn.kind == TurnAnswer::Kind::Waiting) break;
      report_.withoutLock = turn.withoutLock;
      updateState_ = UpdateState::Running;
      DisconnectStep(ServerFolder, *this);
      report_.driveFailure = DriveFailureText(MapStep(ServerIP, ServerFolder, ServerUser, ServerPassword, *this));
      form_->SetText(kButton1, std::u16string(kRunning));
      Button3Click();
      EndUpdate(OutcomeOfCopy(report_.counts, report_.driveFailure.empty()), {});
      break;
    }
    case Button1Step::Nothing:
      break;
  }
}

void TForm1::Button2Click() { settingsQuery_ = RunUpgradeSettingsQuery(*this, *ADOConnection1, *ADOQuery1); }

void TForm1::Button3Click() {
  const std::u16string destFolder = Read(Slot::Edit3);
  // Pressed by the update, which judged the settings when it began; pressed otherwise, as they are.
  const RunSettings settings = settings_ ? *settings_ : JudgeSettingsFile();
  report_.counts =
      CopyFilesWithPattern(SourceFolder(*this), Read(Slot::Edit13), destFolder, settings.refresh, *this, settings.pin);
  form_->SetText(kButton1, std::u16string(kRunning));
}

void TForm1::Button4Click() { CreateShortcut(Read(Slot::Edit3) + u"\\tavMENU.exe", u"TAVIREL MENU"); }

void TForm1::OnKeyPress(char16_t& key) {
  if (key == u'\r') {
    key = 0;
    form_->FocusNextControl();
  }
}

void TForm1::OnClick(size_t control) {
  if (control == kButton1) Button1Click();
  if (control == kButton2) Button2Click();
  if (control == kButton3) Button3Click();
  if (control == kButton4) Button4Click();
}

void TForm1::OnTimer(unsigned timer) {
  if (timer == kTimer2) Timer2Timer();
}

void TForm1::OnHandlerError(const Exception& error) {
  const std::u16string text = ErrorReportText(error);
  // Recorded before the report shows: the run may end while the report is still open.
  if (updateState_ == UpdateState::WaitingForTurn || updateState_ == UpdateState::Running)
    EndUpdate(UpdateOutcome::Stopped, text);
  platform::ShowErrorReport(text, gApplicationTitle);
}

void TForm1::StartReport(const std::u16string& ServerFolder) {
  // Edit1 and Edit2 are the source folder and the database server as the window shows them; no
  // password slot is read.
  report_ = RunReport();
  report_.queryFailure = settingsQuery_.failure;
  report_.drive = ServerFolder + u":";
  report_.pattern = Read(Slot::Edit13);
  report_.source = Read(Slot::Edit1);
  report_.destination = Read(Slot::Edit3);
  report_.databaseServer = Read(Slot::Edit2);
}

void TForm1::BeginUpdate(const std::u16string& ServerFolder) {
  updateState_ = UpdateState::WaitingForTurn;
  StartReport(ServerFolder);
  if (!gSettingsFileFault.empty()) throw Exception(gSettingsFileFault);
  // A value it does not know copies nothing, nor does one that names no table.
  settings_ = JudgeSettingsFile();
  turn_ = std::make_unique<FolderUpdateTurn>(report_.destination, MostTurnWait());
}

void TForm1::EndUpdate(UpdateOutcome outcome, const std::u16string& error) {
  updateState_ = UpdateState::Ended;
  outcome_ = outcome;
  report_.seconds = platform::SecondsSinceProgramStart();
  // The lock goes first: the next run need not wait for the record and the row. Letting go of it
  // can wait on the disk.
  platform::CallAnswering([&] { turn_.reset(); });
  form_->SetText(kButton1, std::u16string(kRunning));
  report_.outcome = outcome;
  report_.error = error;
  report_.activityLog = form_->Text(kMemo1);
  // The settings query's own connection failed: the row would only keep the run's end waiting on the
  // same database.
  const bool rowAsked = settings_ && !settings_->runsTable.empty();
  const bool rowTried = rowAsked && settingsQuery_.connected;
  if (rowAsked && !rowTried) {
    report_.rowFailure = RowNotWrittenSentence(
        settings_->runsTableAsNamed, u"the settings query could not connect to the database, so no row was tried");
  }
  // The record first: it is what a sign-out in the middle of the row cannot take away.
  WriteRecord(EventRecordOf(report_));
  if (!rowTried) return;
  // The row's connection logs in as the query's; no password slot reaches the record or the row.
  const std::u16string rowFailure = WriteRunRow(report_, settings_->runsTable, *this);
  if (!rowFailure.empty())
    WriteRecord(RowNotWrittenRecord(RowNotWrittenSentence(settings_->runsTableAsNamed, rowFailure)));
}
