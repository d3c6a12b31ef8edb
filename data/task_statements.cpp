#include "data/task_statements.h"

#include "data/hex_codec.h"

namespace orvanta::data::sql {
namespace {

constexpr const char* kCreateHead = "CREATE TABLE IF NOT EXISTS tasklist ([ID] INTEGER PRIMARY KEY,";
constexpr const char* kCreateColumns =
    "[Enabled] INTEGER, [Title] VARCHAR (255), [DateMode] INTEGER,  [Year] INTEGER, [Month] INTEGER, "
    "[Day] INTEGER, [Sun] INTEGER, [Mon] INTEGER,"
    " [Tue] INTEGER, [Wed] INTEGER, [Thu] INTEGER, [Fri] INTEGER, [Sat] INTEGER, [Time] VARCHAR (255), "
    "[Loop] INTEGER, [EndTime] VARCHAR (255),"
    " [Hotkey1] INTEGER, [Hotkey2] INTEGER, [hkLoop] INTEGER, [Countdown] INTEGER, [Event] INTEGER, "
    "[Macro] VARCHAR (255), [Launch] VARCHAR (255),"
    " [Terminate] VARCHAR (255), [OpenFile] VARCHAR (255), [OpenURL] VARCHAR (255), [Message] TEXT, "
    "[Last] VARCHAR (255));";

constexpr const char* kColumnList = "Enabled,Title,DateMode,Year,Month,Day,Sun,Mon,Tue,Wed,Thu,Fri,Sat,Time,"
                                    "Loop,EndTime,Hotkey1,Hotkey2,hkLoop,Countdown,Event,Macro,Launch,"
                                    "Terminate,OpenFile,OpenURL,Message,Last";

std::string Quoted(const std::string& text) {
    return "\"" + HexEncode(text) + "\"";
}
std::string Num(std::int64_t v) {
    return std::to_string(v);
}

// The columns after Enabled up to Message, as "name=value" pairs each led by ", ".
std::string UpdatePairs(const TaskRecord& t) {
    return ", Title=" + Quoted(t.title) + ", DateMode=" + Num(t.dateMode) + ", Year=" + Num(t.year) +
           ", Month=" + Num(t.month) + ", Day=" + Num(t.day) + ", Sun=" + Num(t.sun) + ", Mon=" + Num(t.mon) +
           ", Tue=" + Num(t.tue) + ", Wed=" + Num(t.wed) + ", Thu=" + Num(t.thu) + ", Fri=" + Num(t.fri) +
           ", Sat=" + Num(t.sat) + ", Time=" + Quoted(t.time) + ", Loop=" + Num(t.loop) +
           ", EndTime=" + Quoted(t.endTime) + ", Hotkey1=" + Num(t.hotkey1) + ", Hotkey2=" + Num(t.hotkey2) +
           ", hkLoop=" + Num(t.hkLoop) + ", Countdown=" + Num(t.countdown) + ", Event=" + Num(t.event) +
           ", Macro=" + Quoted(t.macro) + ", Launch=" + Quoted(t.launch) +
           ", Terminate=" + Quoted(t.terminate) + ", OpenFile=" + Quoted(t.openFile) +
           ", OpenURL=" + Quoted(t.openUrl) + ", Message=" + Quoted(t.message);
}

} // namespace

std::string CreateTableStatement() {
    return std::string(kCreateHead) + kCreateColumns;
}

std::string TemplateCreateTableStatement() {
    std::string s = CreateTableStatement();
    s.erase(s.find("IF NOT EXISTS "), 14);
    s.pop_back(); // the final semicolon
    return s;
}

std::string FindTableQuery() {
    return std::string("select [sql] from sqlite_master where [type] = 'table' and lower(name) = '") +
           kTableName + "' ";
}

std::string ReadTimedTasksQuery(bool hideDisabled) {
    return hideDisabled ? "SELECT * FROM tasklist WHERE DateMode != 0 AND Enabled==1 ORDER BY Last;"
                        : "SELECT * FROM tasklist WHERE DateMode != 0 ORDER BY Last;";
}

std::string ReadTimedTaskQuery(const std::string& id, bool hideDisabled) {
    return "SELECT * FROM tasklist WHERE ID = " + id + " AND DateMode != 0" +
           (hideDisabled ? " AND Enabled==1;" : ";");
}

// The timed-task query orders by Last alone; rows that tie keep the order of the table, which is the
// order of their IDs. A missing Last (NULL) comes before every other, as ORDER BY puts it. Both values
// are read as columns, so they are compared as stored, as ORDER BY compares them.
std::string TimedTaskSortsBeforeQuery(const std::string& id, const std::string& otherId) {
    return "SELECT (a.Last < b.Last) OR (a.Last IS NULL AND b.Last IS NOT NULL) OR (a.Last IS b.Last AND "
           "a.ID < b.ID) FROM tasklist AS a, tasklist AS b WHERE a.ID = " +
           id + " AND b.ID = " + otherId + ";";
}

std::string ObjectsBeyondTaskTableQuery() {
    return "SELECT COUNT(*) FROM sqlite_master WHERE NOT (type = 'table' AND (lower(name) = 'tasklist' OR "
           "name LIKE 'sqlite!_%' ESCAPE '!'));";
}

std::string ReadHotkeyTasksQuery() {
    return "SELECT * FROM tasklist WHERE DateMode = 0 ORDER BY Last;";
}

std::string InsertStatement(const TaskRecord& t, std::int32_t last) {
    const std::string values[] = {
        Num(t.enabled),    Quoted(t.title),   Num(t.dateMode),  Num(t.year),         Num(t.month),
        Num(t.day),        Num(t.sun),        Num(t.mon),       Num(t.tue),          Num(t.wed),
        Num(t.thu),        Num(t.fri),        Num(t.sat),       Quoted(t.time),      Num(t.loop),
        Quoted(t.endTime), Num(t.hotkey1),    Num(t.hotkey2),   Num(t.hkLoop),       Num(t.countdown),
        Num(t.event),      Quoted(t.macro),   Quoted(t.launch), Quoted(t.terminate), Quoted(t.openFile),
        Quoted(t.openUrl), Quoted(t.message), Num(last)};
    std::string s = std::string("INSERT INTO tasklist (") + kColumnList + ") VALUES (";
    for (std::size_t i = 0; i < std::size(values); ++i) {
        if (i) s += ',';
        s += values[i];
    }
    return s + ");";
}

std::string NewestIdQuery() {
    return "SELECT id FROM tasklist where id=(select max(id) from tasklist);";
}

std::string UpdateStatement(const std::string& id, const TaskRecord& t, std::int32_t last) {
    return "UPDATE tasklist SET Enabled=" + Num(t.enabled) + UpdatePairs(t) + ", Last=" + Num(last) +
           " where id=" + id + "; ";
}

std::string UpdateKeepOrderStatement(const std::string& id, const TaskRecord& t) {
    return "UPDATE tasklist SET Enabled=" + Num(t.enabled) + UpdatePairs(t) + " where id=" + id + "; ";
}

std::string SetEnabledStatement(const std::string& id, bool enabled) {
    return std::string(enabled ? "UPDATE tasklist SET Enabled=1 where id="
                               : "UPDATE tasklist SET Enabled=0 where id=") +
           id + "; ";
}

std::string DeleteStatement(const std::string& id) {
    return "delete from tasklist where id=" + id + "; ";
}
std::string DeleteAllTimedStatement() {
    return "delete from tasklist where DateMode != 0; ";
}
std::string DeleteDisabledTimedStatement() {
    return "delete from tasklist where Enabled != 1 AND DateMode != 0; ";
}
std::string DeleteAllHotkeyStatement() {
    return "delete from tasklist where DateMode = 0; ";
}
std::string DeleteDisabledHotkeyStatement() {
    return "delete from tasklist where Enabled != 1 AND DateMode = 0; ";
}

std::string DuplicateStatement(const std::string& id) {
    return std::string("INSERT INTO tasklist (") + kColumnList + ")  SELECT " + kColumnList +
           " FROM tasklist WHERE id=" + id + "; ";
}

std::string PostponeUpdateStatement(const std::string& newTitle, int year, int month, int day,
                                    const std::string& time, std::int32_t last) {
    return "UPDATE tasklist SET Title=" + Quoted(newTitle) + ", DateMode=2, Year=" + Num(year) +
           ", Month=" + Num(month) + ", Day=" + Num(day) + ", Time=" + Quoted(time) + ", Last=" + Num(last) +
           " where id=(select max(id) from tasklist); ";
}

} // namespace orvanta::data::sql
