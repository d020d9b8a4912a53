#pragma once

#include <memory>
#include <optional>
#include <string>

#include "app/run_outcome.h"
#include "base/slots.h"
#include "platform/database.h"
#include "platform/window_toolkit.h"

// The program's one window: its controls hold every value of the run (the settings slots), its
// handlers carry the run sequence, and it owns the two database components.
class TForm1 final : public platform::FormEvents, public SlotStore, public ActivityLog {
 public:
  // Builds the window and runs OnCreate; raises when the window cannot be created.
  TForm1();
  ~TForm1() override;
  // Shows the window and handles messages until the application ends.
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
  // Settles the update's outcome, once, and writes its event-log record.
  void EndUpdate(UpdateOutcome outcome, const std::u16string& error);

  enum class UpdateState { NotStarted, Running, Ended };
  UpdateState updateState_ = UpdateState::NotStarted;
  std::optional<UpdateOutcome> outcome_;
  RefreshCounts copyCounts_;

  // Declared before the query so that the query is released first.
  std::unique_ptr<platform::DatabaseConnection> ADOConnection1;
  std::unique_ptr<platform::DatabaseQuery> ADOQuery1;
  std::unique_ptr<platform::Form> form_;
};

extern TForm1* Form1;
// The caption of every error report, derived from the executable's name at start.
extern std::u16string gApplicationTitle;
