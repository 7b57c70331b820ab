cmake_minimum_required(VERSION 3.25)
# Fails when one of FILES includes a header of one of FOLDERS that is not
# in ALLOWED. Run by wenk_folder() before each folder's library is made.
foreach(file IN LISTS FILES)
  file(STRINGS ${file} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"[^/\"]+/")
  foreach(line IN LISTS includes)
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^/\"]+)/.*" "\\1" folder "${line}")
    if(folder IN_LIST FOLDERS AND NOT folder IN_LIST ALLOWED)
      message(FATAL_ERROR "${file} includes a header of ${folder}/, which is not below its folder: "
                          "a folder may include only the folders it builds on (${ALLOWED}).")
    endif()
  endforeach()
endforeach()
