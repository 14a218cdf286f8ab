# Fails the build when a file includes a header of a layer above its own:
#   src/audio  no Qt at all;   src/core  no widgets and no GUI module.
# cantorix_core does not link Qt Widgets, so <QWidget> already fails to compile there; this also
# catches the module-qualified spellings (<QtWidgets/QWidget>) that the shared include root would let in.
# Run as: cmake -DSOURCE_DIR=<project> -P CheckLayers.cmake
set(rules
  "src/audio|#[ \t]*include[ \t]*[<\"](Q[A-Za-z]|Qt)|Qt headers"
  "src/audio|#[ \t]*include[ \t]*\"(core|gui|cli)/|a header of core, gui or cli"
  "src/core|#[ \t]*include[ \t]*[<\"](QtWidgets|QtGui|QWidget|QApplication|QMessageBox|QDialog)|widget headers"
  "src/core|#[ \t]*include[ \t]*\"(gui|cli)/|a header of gui or cli")
set(bad "")
foreach(rule IN LISTS rules)
  string(REPLACE "|" ";" parts "${rule}")
  list(GET parts 0 dir)
  list(LENGTH parts n)
  math(EXPR last "${n} - 1")
  list(GET parts ${last} what)
  # The pattern may itself hold "|": everything between the folder and the description.
  list(SUBLIST parts 1 ${last} pattern_parts)
  list(JOIN pattern_parts "|" pattern)
  file(GLOB_RECURSE files "${SOURCE_DIR}/${dir}/*.h" "${SOURCE_DIR}/${dir}/*.cpp")
  foreach(f IN LISTS files)
    file(STRINGS "${f}" hits REGEX "${pattern}")
    if(hits)
      string(APPEND bad "  ${f}: ${what}: ${hits}\n")
    endif()
  endforeach()
endforeach()
if(bad)
  message(FATAL_ERROR "Layer rule broken (audio < core < gui/cli):\n${bad}")
endif()
