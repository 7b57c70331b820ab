# wenk_folder(<target> SOURCES <files...> [BELOW <targets...>] [LIBS <libraries...>])
#
# WENK_FOLDERS names every source folder.
# The library of one source folder. It links only the folders' targets below
# it (BELOW) and outside libraries (LIBS), and its build fails when one of its
# files includes a header of a folder that is not below it: the folders
# depend on each other in one direction only.
function(wenk_folder target)
  cmake_parse_arguments(F "" "" "SOURCES;BELOW;LIBS" ${ARGN})
  add_library(${target} STATIC ${F_SOURCES})
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${target} PUBLIC ${F_BELOW} ${F_LIBS})

  # The folders this one may include: itself and those below, transitively.
  file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  set(allowed ${folder})
  foreach(below IN LISTS F_BELOW)
    get_target_property(theirs ${below} WENK_ALLOWED_FOLDERS)
    list(APPEND allowed ${theirs})
  endforeach()
  list(REMOVE_DUPLICATES allowed)
  set_target_properties(${target} PROPERTIES WENK_ALLOWED_FOLDERS "${allowed}")

  list(TRANSFORM F_SOURCES PREPEND ${CMAKE_CURRENT_SOURCE_DIR}/)
  add_custom_command(TARGET ${target} PRE_LINK
    COMMAND ${CMAKE_COMMAND} "-DFILES=${F_SOURCES}" "-DALLOWED=${allowed}" "-DFOLDERS=${WENK_FOLDERS}"
            -P ${PROJECT_SOURCE_DIR}/cmake/CheckIncludes.cmake
    VERBATIM)
endfunction()
