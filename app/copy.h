#pragma once

#include <memory>
#include <optional>
#include <string>

#include "app/run_outcome.h"
#include "base/slots.h"
#include "platform/database.h"
#include "platform/window_toolkit.h"
#include "settings/run_settings.h"
#include "settings/upgrade_query.h"
#include "update/folder_update_turn.h"

// The program's one window: its controls hold every value of the run (the settings slots), its
// handlers carry the run sequence, and it owns the two database components.
class TForm1 final : public platform::FormEvents, public SlotStore, public ActivityLog {
 public:
  // Builds the window and runs OnCreate; raises when the window cannot be created.
  TForm1();
  ~TForm1() override;
  // Shows the window and handles messages until the application ends; an update that never began,
  // or never had its turn, ends here, as the user closed the window on it.
  void Run();
  // What the run came to, as the process's exit code.
  int ExitCode() const;

  void Button1Click();
  void OnCreate();
  void OnKeyPress(char16_t& key) override;
  void OnShow() override;
  void Button2Click();
  void Button3Click();
  void Button4Click();
  void Timer2Timer();

  std::u16string Read(Slot slot) const override;
  void Write(Slot slot, const std::u16string& text) override;
  void AppendLine(const std::u16string& line) override;

 private:
  void OnClick(size_t control) override;
  void OnTimer(unsigned timer) override;
  void OnHandlerError(const Exception& error) override;
  // What the run's record will tell of the settings, as the slots hold them now.
  void StartReport(const std::u16string& ServerFolder);
  // The update begins once: its report is started, and a settings file that cannot be read as meant,
  // or a setting that steers the run with a value it must not guess at, stops it here.
  void BeginUpdate(const std::u16string& ServerFolder);
  // Settles the update's outcome, once, lets the next run have the folder, sets the run state so
  // that the next tick closes the window, and writes the event-log record, then the run's row.
  void EndUpdate(UpdateOutcome outcome, const std::u16string& error);

  // Begun (WaitingForTurn onwards), the update never begins again, however it ends.
  enum class UpdateState { NotStarted, WaitingForTurn, Running, Ended };
  UpdateState updateState_ = UpdateState::NotStarted;
  std::optional<UpdateOutcome> outcome_;
  std::unique_ptr<FolderUpdateTurn> turn_;
  SettingsQueryResult settingsQuery_;
  std::optional<RunSettings> settings_;  // judged when the update began
  RunReport report_;                     // filled as the update goes

  // Declared before the query so that the query is released first.
  std::unique_ptr<platform::DatabaseConnection> ADOConnection1;
  std::unique_ptr<platform::DatabaseQuery> ADOQuery1;
  std::unique_ptr<platform::Form> form_;
};

extern TForm1* Form1;
// The caption of every error report, derived from the executable's name at start.
extern std::u16string gApplicationTitle;
