# What the Debian package holds beside the programs: the manual pages (built from their scdoc source),
# bash completion, the copyright file and the changelog; then CPack's settings for `cpack -G DEB`.

find_program(SCDOC scdoc)
find_program(GZIP gzip REQUIRED)
set(CANTORIX_MAN_PAGES "")
if(SCDOC)
  foreach(page cantorix.1 cantorix-cli.1)
    set(out ${CMAKE_BINARY_DIR}/man/${page}.gz)
    # gzip -n: no name or time stamp, so that two builds of one source give the same bytes.
    add_custom_command(OUTPUT ${out}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
      COMMAND sh -c "'${SCDOC}' < '${PROJECT_SOURCE_DIR}/doc/man/${page}.scd' > '${out}.roff' && '${GZIP}' -9nf '${out}.roff' && mv '${out}.roff.gz' '${out}'"
      DEPENDS ${PROJECT_SOURCE_DIR}/doc/man/${page}.scd VERBATIM)
    list(APPEND CANTORIX_MAN_PAGES ${out})
  endforeach()
  add_custom_target(cantorix_man ALL DEPENDS ${CANTORIX_MAN_PAGES})
  install(FILES ${CANTORIX_MAN_PAGES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
else()
  message(WARNING "scdoc not found: the manual pages are not built")
endif()

set(CANTORIX_CHANGELOG ${CMAKE_BINARY_DIR}/changelog.gz)
add_custom_command(OUTPUT ${CANTORIX_CHANGELOG}
  COMMAND sh -c "'${GZIP}' -9n < '${PROJECT_SOURCE_DIR}/packaging/changelog' > '${CANTORIX_CHANGELOG}'"
  DEPENDS ${PROJECT_SOURCE_DIR}/packaging/changelog VERBATIM)
add_custom_target(cantorix_changelog ALL DEPENDS ${CANTORIX_CHANGELOG})
install(FILES ${CANTORIX_CHANGELOG} packaging/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/cantorix)
install(FILES data/completion/cantorix-cli data/completion/cantorix
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)

set(CPACK_GENERATOR DEB)
# Values go into the package as written (the description holds quotes).
set(CPACK_VERBATIM_VARIABLES ON)
set(CPACK_PACKAGE_NAME cantorix)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Cantorix developers <cantorix@users.noreply.github.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "name the files of ripped audio albums")
# The long description: CPack indents each line and turns the empty one into " ." for the control file.
set(CPACK_PACKAGE_DESCRIPTION "Cantorix lists the audio files of an album folder with their playing times,
finds the album in the freedb/gnudb or MusicBrainz database (by the files'
playing times, or by artist and album), lets you line the titles up with the
files and renames every file by a format such as \"artist - album - # - track\",
optionally writing tags, a playlist and a new folder name. It also renames
files from their own tags, pads track numbers and works on whole collections.
Every run can be undone.

The package holds the window (cantorix) and its command-line companion
(cantorix-cli).")
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://github.com/cantorix/cantorix")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The media-information library is loaded at run time, for MP4 and RealAudio files only; xdg-open
# (xdg-utils) plays a file, opens a folder and the guide, and says so when it is missing; fpcalc
# (libchromaprint-tools) makes the fingerprints of an AcoustID lookup, which says so when it is missing.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libmediainfo0v5, xdg-utils, libchromaprint-tools")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
include(CPack)
