# The names of the suite's programs, read from the one program table
# (apps/Programs.cpp), whose rows begin {"Name", ...}: sets VORTIQUO_PROGRAMS.
file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/../apps/Programs.cpp vortiquo_rows REGEX "^ *{\"[A-Za-z0-9]+\",")
set(VORTIQUO_PROGRAMS "")
foreach(row IN LISTS vortiquo_rows)
  string(REGEX REPLACE "^ *{\"([A-Za-z0-9]+)\",.*" "\\1" name "${row}")
  list(APPEND VORTIQUO_PROGRAMS ${name})
endforeach()
