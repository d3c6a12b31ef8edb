# SQLite for the Windows build: the amalgamation that scripts/windows-sqlite.sh makes from Debian's source
# package, built into "loader.dll", the library the program binds its database calls from.
set(ORVANTA_SQLITE_SOURCE_DIR "" CACHE PATH "Folder holding sqlite3.c and sqlite3.h")
if(NOT EXISTS "${ORVANTA_SQLITE_SOURCE_DIR}/sqlite3.c")
  message(FATAL_ERROR "ORVANTA_SQLITE_SOURCE_DIR must name a folder with sqlite3.c (scripts/windows-sqlite.sh makes one)")
endif()
add_library(orvanta_sqlite_loader SHARED ${ORVANTA_SQLITE_SOURCE_DIR}/sqlite3.c)
set_target_properties(orvanta_sqlite_loader PROPERTIES PREFIX "" OUTPUT_NAME loader C_VISIBILITY_PRESET default)
target_include_directories(orvanta_sqlite_loader SYSTEM PUBLIC ${ORVANTA_SQLITE_SOURCE_DIR})
target_compile_definitions(orvanta_sqlite_loader PRIVATE SQLITE_THREADSAFE=1 SQLITE_OMIT_LOAD_EXTENSION
                           "SQLITE_API=__declspec(dllexport)")
# Third-party code: its warnings are not ours to fix.
target_compile_options(orvanta_sqlite_loader PRIVATE $<$<C_COMPILER_ID:GNU,Clang>:-w>)
add_library(SQLite::SQLite3 ALIAS orvanta_sqlite_loader)
# Every program binds its database calls from here, so it sits beside them.
install(TARGETS orvanta_sqlite_loader RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
