# SQLite, for the index of what was read of each project. On Linux the system's (Debian's
# libsqlite3-dev). Where the system has none (the Windows build), SQLite's one-file source is
# compiled in: ORVASEL_SQLITE_SOURCE names the folder holding sqlite3.c and sqlite3.h, such as
# scripts/windows-sqlite.sh makes from Debian's own source package (the same version as Linux's),
# or the amalgamation from sqlite.org on Windows itself.
set(ORVASEL_SQLITE_SOURCE "" CACHE PATH "A folder holding SQLite's sqlite3.c and sqlite3.h, compiled into the program")
if(ORVASEL_SQLITE_SOURCE)
  enable_language(C)
  add_library(orvasel_sqlite STATIC ${ORVASEL_SQLITE_SOURCE}/sqlite3.c)
  target_include_directories(orvasel_sqlite SYSTEM PUBLIC ${ORVASEL_SQLITE_SOURCE})
  # Threads on, extensions off (nothing is loaded), and strings only in single quotes.
  target_compile_definitions(orvasel_sqlite PRIVATE SQLITE_THREADSAFE=1 SQLITE_OMIT_LOAD_EXTENSION SQLITE_DQS=0)
  # Not our code: its warnings are SQLite's.
  target_compile_options(orvasel_sqlite PRIVATE -w)
  set_target_properties(orvasel_sqlite PROPERTIES UNITY_BUILD OFF COMPILE_WARNING_AS_ERROR OFF)
  add_library(SQLite::SQLite3 ALIAS orvasel_sqlite)
else()
  find_package(SQLite3 REQUIRED)
endif()
