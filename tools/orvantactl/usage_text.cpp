#include "tools/orvantactl/usage_text.h"

namespace orvanta::ctl {

const std::string& UsageText() {
    static const std::string text = R"(Usage: orvantactl [--data-dir DIR] [--now TIME] COMMAND [ARGUMENTS]

Works on the Orvanta task database, task.db in the data folder. Every command
first creates task.db from the built-in template when it is missing.

Commands:
  add OPTIONS         add a task (options below) and print its ID
  show ID             print every column of a task, one "Name: value" line each
  enable ID           enable a task
  disable ID          disable a task
  delete ID           delete a task
  run ID              carry out the task's actions now, as its hotkey would: no
                      count-down, each action named as it starts; a message is
                      printed here
  export FILE         write a complete copy of the task database to FILE; an
                      existing FILE is replaced only when it is empty or is
                      itself a task database
  import FILE         replace all tasks by those of the task database FILE
  list                print the scheduled-task list as the main window shows
                      it, with the list filters saved in wake.ini: one line
                      per row, its eight columns separated by tabs: text,
                      status, ID, enabled, due seconds, countdown, due key,
                      wake key; a list without tasks is the line "None"
                      followed by seven tabs
  next                print the notification-area hint for the upcoming task
  doctor              check what this desktop offers the tasks (wake-up timers,
                      power actions, hotkeys, macros, tray, notifications,
                      start at log-in), one line each with a fix where there
                      is one; exit status 1 when an enabled task needs
                      something that is missing
  history [--since TIME] [--task ID]
                      print the run history, oldest first: what ran, what
                      failed, what was passed, postponed or skipped, and why,
                      one line each; --since takes "YYYY-MM-DD" or a TIME as
                      --now does, --task one task's entries only. Read from
                      the systemd journal; exit status 1 where it cannot be
                      read (no journald runs, or this user may not read it)
  help, --help        print this text

Global options:
  --data-dir DIR      the data folder to use; it must exist (default:
                      $XDG_DATA_HOME/Orvanta, else ~/.local/share/Orvanta)
  --now TIME          run the command as if the clock read TIME, given as
                      "YYYY-MM-DD H:mm:ss" or "YYYY-MM-DD H:mm:ss.zzz"
                      (default: the clock); add takes its defaults and the
                      saved moment from it too

Options of add, written OPTION VALUE or OPTION=VALUE:
  --title TEXT        title; without one, a description of the actions
  --trigger KIND      once (default), daily, weekly, monthly, annually, hotkey
  --date DATE         once: YYYY-MM-DD; monthly: the day, 1-31;
                      annually: MM-DD (needed by these three kinds)
  --days LIST         weekly: the weekdays, e.g. mon,wed,fri
                      (sun, mon, tue, wed, thu, fri, sat)
  --hotkey KEY        hotkey: alt+KEY or ctrl+KEY, KEY one of 0-9 and A-Z
  --start TIME        start time, H:mm:ss or H:mm (default: now, seconds 0)
  --repeat MINUTES    repeat every 10, 20, 30, 40, 50, 60, 120, 180, 240 or 300
                      minutes until the end time; 0 (default) repeats never
  --end TIME          end of the repeat window (default 23:59:59); not
                      earlier than the start time
  --countdown SECONDS ask for confirmation first, counting down the seconds
  --event NAME        the power or session event:
                        none        no event, only the actions (default)
                        wake        wake the computer for the task; with
                                    actions it is stored as wake+run
                        restart     restart the computer
                        shutdown    shut down and power off
                        lock        lock the session
                        standby     stand by (sleep)
                        hibernate   hibernate
                        logoff      log the user off
                        monitoroff  turn the monitor off
                        wake+run    wake the computer, then run the actions
  --macro FILE        action: play a keyboard/mouse macro file
  --launch PROGRAM    action: start a program
  --params TEXT       the parameters of the --launch program
  --terminate NAME    action: end every process of this program (only the
                      file name is kept)
  --open-file FILE    action: open a file
  --open-url URL      action: open a web address
  --message TEXT      action: show a reminder message
  --disabled          save the task disabled

A task needs an event or at least one action. The events restart to monitoroff
stand alone; wake and wake+run may be combined with actions. Hotkey tasks take
no --start, --repeat, --end, --countdown, wake or wake+run.

In the output of list and next a backslash, tab, line feed or carriage return
within a text is written as \\, \t, \n or \r, so each row stays one line.
Timed tasks that cannot be scheduled (a damaged row) are left out; list and
next still print the rest, then name each such task on stderr and exit with 1.

Exit status: 0 success, 1 failure, 2 bad command line.
)";
    return text;
}

} // namespace orvanta::ctl
