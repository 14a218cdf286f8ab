# Fails when a translation in i18n/ is behind the sources: lupdate reads the sources into a copy of
# each .ts file (the same options as the build's update_translations), and the copy must then hold no
# unfinished entry (a text of the sources without a finished translation, or one whose source text
# changed) and no vanished or obsolete one (a translation whose text is gone from the sources).
# Run as: cmake -DLUPDATE=<lupdate> -DSOURCE_DIR=<project> -DWORK_DIR=<scratch folder> -P CheckTranslations.cmake
foreach(var LUPDATE SOURCE_DIR WORK_DIR)
  if(NOT ${var})
    message(FATAL_ERROR "${var} is not set")
  endif()
endforeach()
file(GLOB ts_files "${SOURCE_DIR}/i18n/*.ts")
if(NOT ts_files)
  message(FATAL_ERROR "no translation in ${SOURCE_DIR}/i18n")
endif()
file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}")
set(failures "")
foreach(ts IN LISTS ts_files)
  get_filename_component(name "${ts}" NAME)
  set(copy "${WORK_DIR}/${name}")
  file(COPY_FILE "${ts}" "${copy}")
  execute_process(
    COMMAND "${LUPDATE}" -silent -locations none -I "${SOURCE_DIR}/src"
            "${SOURCE_DIR}/src/core" "${SOURCE_DIR}/src/gui" "${SOURCE_DIR}/src/cli" -ts "${copy}"
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err TIMEOUT 240)
  if(NOT rc EQUAL 0)
    string(APPEND failures "${name}: lupdate failed (${rc}): ${err}\n")
    continue()
  endif()
  file(READ "${copy}" text)
  # One list item per <message>; the text's own semicolons and brackets (which CMake lists would
  # read) are set aside first. The source text goes into the report.
  string(REPLACE ";" "@SC@" text "${text}")
  string(REPLACE "[" "@LB@" text "${text}")
  string(REPLACE "]" "@RB@" text "${text}")
  string(REPLACE "<message" ";<message" entries "${text}")
  list(REMOVE_AT entries 0)
  foreach(entry IN LISTS entries)
    if(entry MATCHES "<translation[^>]*type=\"(unfinished|vanished|obsolete)\"")
      set(kind "${CMAKE_MATCH_1}")
      string(REGEX MATCH "<source>([^<]*)" _ "${entry}")
      set(source "${CMAKE_MATCH_1}")
      string(REPLACE "&quot@SC@" "\"" source "${source}")
      string(REPLACE "&apos@SC@" "'" source "${source}")
      string(REPLACE "&lt@SC@" "<" source "${source}")
      string(REPLACE "&gt@SC@" ">" source "${source}")
      string(REPLACE "&amp@SC@" "&" source "${source}")
      string(REPLACE "@LB@" "[" source "${source}")
      string(REPLACE "@RB@" "]" source "${source}")
      string(REPLACE "@SC@" ";" source "${source}")
      string(APPEND failures "${name}: ${kind}: ${source}\n")
    endif()
  endforeach()
endforeach()
if(failures)
  message(FATAL_ERROR "Translations out of step with the sources (run the target update_translations, "
                      "then translate every unfinished entry and remove the vanished ones):\n${failures}")
endif()
message(STATUS "Every translation is complete: ${ts_files}")
