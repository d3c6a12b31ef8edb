#include "data/task_statements.h"

#include <gtest/gtest.h>

namespace orvanta::data::sql {
namespace {

TaskRecord SampleTask() {
    TaskRecord t;
    t.enabled = 1;
    t.title = "A";
    t.dateMode = 5;
    t.year = 2025;
    t.month = 3;
    t.day = 7;
    t.sun = 0;
    t.mon = 1;
    t.tue = 0;
    t.wed = 1;
    t.thu = 0;
    t.fri = 1;
    t.sat = 0;
    t.time = "9:05:00";
    t.loop = 10;
    t.endTime = "23:59:59";
    t.hotkey1 = 0;
    t.hotkey2 = 47;
    t.hkLoop = 0;
    t.countdown = 30;
    t.event = 0;
    t.macro = "";
    t.launch = "B";
    t.terminate = "";
    t.openFile = "";
    t.openUrl = "";
    t.message = "C";
    return t;
}

TEST(TaskStatements, TableAndQueryTextsAreExact) {
    EXPECT_EQ(
        CreateTableStatement(),
        "CREATE TABLE IF NOT EXISTS tasklist ([ID] INTEGER PRIMARY KEY,[Enabled] INTEGER, [Title] VARCHAR "
        "(255), [DateMode] INTEGER,  [Year] INTEGER, [Month] INTEGER, [Day] INTEGER, [Sun] INTEGER, [Mon] "
        "INTEGER, [Tue] INTEGER, [Wed] INTEGER, [Thu] INTEGER, [Fri] INTEGER, [Sat] INTEGER, [Time] VARCHAR "
        "(255), [Loop] INTEGER, [EndTime] VARCHAR (255), [Hotkey1] INTEGER, [Hotkey2] INTEGER, [hkLoop] "
        "INTEGER, [Countdown] INTEGER, [Event] INTEGER, [Macro] VARCHAR (255), [Launch] VARCHAR (255), "
        "[Terminate] VARCHAR (255), [OpenFile] VARCHAR (255), [OpenURL] VARCHAR (255), [Message] TEXT, "
        "[Last] VARCHAR (255));");
    EXPECT_EQ(
        TemplateCreateTableStatement().rfind("CREATE TABLE tasklist ([ID] INTEGER PRIMARY KEY,[Enabled]", 0),
        0u);
    EXPECT_EQ(TemplateCreateTableStatement().back(), ')');
    EXPECT_EQ(FindTableQuery(),
              "select [sql] from sqlite_master where [type] = 'table' and lower(name) = 'tasklist' ");
    EXPECT_EQ(ReadTimedTasksQuery(false), "SELECT * FROM tasklist WHERE DateMode != 0 ORDER BY Last;");
    EXPECT_EQ(ReadTimedTasksQuery(true),
              "SELECT * FROM tasklist WHERE DateMode != 0 AND Enabled==1 ORDER BY Last;");
    EXPECT_EQ(ReadHotkeyTasksQuery(), "SELECT * FROM tasklist WHERE DateMode = 0 ORDER BY Last;");
    EXPECT_EQ(NewestIdQuery(), "SELECT id FROM tasklist where id=(select max(id) from tasklist);");
    EXPECT_EQ(SetEnabledStatement("12", true), "UPDATE tasklist SET Enabled=1 where id=12; ");
    EXPECT_EQ(SetEnabledStatement("12", false), "UPDATE tasklist SET Enabled=0 where id=12; ");
    EXPECT_EQ(DeleteStatement("3"), "delete from tasklist where id=3; ");
    EXPECT_EQ(DeleteAllTimedStatement(), "delete from tasklist where DateMode != 0; ");
    EXPECT_EQ(DeleteDisabledTimedStatement(), "delete from tasklist where Enabled != 1 AND DateMode != 0; ");
    EXPECT_EQ(DeleteAllHotkeyStatement(), "delete from tasklist where DateMode = 0; ");
    EXPECT_EQ(DeleteDisabledHotkeyStatement(), "delete from tasklist where Enabled != 1 AND DateMode = 0; ");
}

TEST(TaskStatements, WriteTextsAreExact) {
    const TaskRecord t = SampleTask();
    EXPECT_EQ(
        InsertStatement(t, 1379115717),
        "INSERT INTO tasklist (Enabled,Title,DateMode,Year,Month,Day,Sun,Mon,Tue,Wed,Thu,Fri,Sat,Time,Loop,"
        "EndTime,Hotkey1,Hotkey2,hkLoop,Countdown,Event,Macro,Launch,Terminate,OpenFile,OpenURL,Message,Last)"
        " "
        "VALUES (1,\"41\",5,2025,3,7,0,1,0,1,0,1,0,\"393A30353A3030\",10,\"32333A35393A3539\",0,47,0,30,0,"
        "\"\",\"42\",\"\",\"\",\"\",\"43\",1379115717);");
    const std::string pairs =
        ", Title=\"41\", DateMode=5, Year=2025, Month=3, Day=7, Sun=0, Mon=1, Tue=0, Wed=1, Thu=0, Fri=1, "
        "Sat=0, "
        "Time=\"393A30353A3030\", Loop=10, EndTime=\"32333A35393A3539\", Hotkey1=0, Hotkey2=47, hkLoop=0, "
        "Countdown=30, Event=0, Macro=\"\", Launch=\"42\", Terminate=\"\", OpenFile=\"\", OpenURL=\"\", "
        "Message=\"43\"";
    EXPECT_EQ(UpdateStatement("4", t, -5),
              "UPDATE tasklist SET Enabled=1" + pairs + ", Last=-5 where id=4; ");
    EXPECT_EQ(UpdateKeepOrderStatement("4", t), "UPDATE tasklist SET Enabled=1" + pairs + " where id=4; ");
    EXPECT_EQ(
        DuplicateStatement("8"),
        "INSERT INTO tasklist (Enabled,Title,DateMode,Year,Month,Day,Sun,Mon,Tue,Wed,Thu,Fri,Sat,Time,Loop,"
        "EndTime,Hotkey1,Hotkey2,hkLoop,Countdown,Event,Macro,Launch,Terminate,OpenFile,OpenURL,Message,Last)"
        "  SELECT "
        "Enabled,Title,DateMode,Year,Month,Day,Sun,Mon,Tue,Wed,Thu,Fri,Sat,Time,Loop,EndTime,Hotkey1,"
        "Hotkey2,hkLoop,Countdown,Event,Macro,Launch,Terminate,OpenFile,OpenURL,Message,Last FROM tasklist "
        "WHERE id=8; ");
    EXPECT_EQ(
        PostponeUpdateStatement("T", 2026, 1, 1, "0:05:00", 42),
        "UPDATE tasklist SET Title=\"54\", DateMode=2, Year=2026, Month=1, Day=1, Time=\"303A30353A3030\", "
        "Last=42 where id=(select max(id) from tasklist); ");
}

} // namespace
} // namespace orvanta::data::sql
