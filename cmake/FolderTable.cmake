# Rewrites the folders table of CONVENTIONS.md from the folder order of PendrelLibraries.cmake:
#   cmake -P cmake/FolderTable.cmake
# The table sits between the two marker lines below; the include-order test fails while it is
# stale.
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/PendrelLibraries.cmake)
set(conventions ${CMAKE_CURRENT_LIST_DIR}/../CONVENTIONS.md)
set(begin "<!-- folders table: generated from cmake/PendrelLibraries.cmake by cmake -P cmake/FolderTable.cmake -->")
set(end "<!-- end of the folders table -->")

file(READ ${conventions} text)
string(FIND "${text}" "${begin}\n" from)
string(FIND "${text}" "${end}" to)
if(from LESS 0 OR to LESS from)
  message(FATAL_ERROR "CONVENTIONS.md has no folders table between the markers")
endif()
string(LENGTH "${begin}\n" skip)
math(EXPR from "${from} + ${skip}")
string(SUBSTRING "${text}" 0 ${from} head)
string(SUBSTRING "${text}" ${to} -1 tail)
pendrel_folder_table(table)
file(WRITE ${conventions} "${head}\n${table}\n${tail}")
