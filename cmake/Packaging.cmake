# What `cmake --install` puts where, and the packages that CPack makes of it:
# the two executables in bin/ and the README in share/doc/erilaisetrivit/; a
# Debian package of a Linux build, a .zip of a Windows build (whose
# executables need no DLL beyond the system's own).
#
# A Linux build adds what a Debian system expects beside them (the sources in
# packaging/): the copyright file and the changelog, a manual page for each
# command, the companion's bash completion and the package's lintian
# overrides. The companion's manual page is made from its own --help and
# --version by help2man, where help2man is installed.

include(GNUInstallDirs)
install(TARGETS erilaisetrivit erilaisetrivit-rivit RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})

# The page (make page) goes with every package, as the folder a browser
# opens: beside the executables in a .zip, under share/erilaisetrivit/page on
# Linux. It is built by the web build, so a package made before it has none.
set(ERILAISETRIVIT_PAGE_DIR ${PROJECT_SOURCE_DIR}/build/page CACHE PATH "The built page that the packages carry")
if(ERILAISETRIVIT_TARGET STREQUAL "windows")
  set(page_destination page)
else()
  set(page_destination ${CMAKE_INSTALL_DATADIR}/erilaisetrivit/page)
endif()
if(EXISTS ${ERILAISETRIVIT_PAGE_DIR}/index.html)
  install(DIRECTORY ${ERILAISETRIVIT_PAGE_DIR}/ DESTINATION ${page_destination})
else()
  message(STATUS "No page in ${ERILAISETRIVIT_PAGE_DIR} (make page): the packages carry none")
endif()

if(ERILAISETRIVIT_TARGET STREQUAL "linux")
  set(packaging_source ${PROJECT_SOURCE_DIR}/packaging)
  set(packaging_build ${PROJECT_BINARY_DIR}/packaging)
  file(MAKE_DIRECTORY ${packaging_build})
  find_program(HELP2MAN_EXECUTABLE help2man)

  # Compressed as Debian wants manual pages and changelogs: gzip -9n, which
  # leaves out the name and time stamp, so the same text gives the same bytes.
  set(compressed_documents
      ${packaging_build}/changelog.gz ${packaging_build}/erilaisetrivit.1.gz)
  foreach(document changelog erilaisetrivit.1)
    add_custom_command(
      OUTPUT ${packaging_build}/${document}.gz
      COMMAND ${CMAKE_COMMAND} -E copy ${packaging_source}/${document} ${packaging_build}/${document}
      COMMAND gzip -9nf ${packaging_build}/${document}
      DEPENDS ${packaging_source}/${document}
      VERBATIM)
  endforeach()
  if(HELP2MAN_EXECUTABLE)
    add_custom_command(
      OUTPUT ${packaging_build}/erilaisetrivit-rivit.1.gz
      COMMAND ${HELP2MAN_EXECUTABLE} --no-info --section=1
              "--name=the rows that erilaisetrivit keeps, and a check of any set of rows"
              --include=${packaging_source}/erilaisetrivit-rivit.h2m
              --output=${packaging_build}/erilaisetrivit-rivit.1 $<TARGET_FILE:erilaisetrivit-rivit>
      COMMAND gzip -9nf ${packaging_build}/erilaisetrivit-rivit.1
      DEPENDS erilaisetrivit-rivit ${packaging_source}/erilaisetrivit-rivit.h2m
      VERBATIM)
    list(APPEND compressed_documents ${packaging_build}/erilaisetrivit-rivit.1.gz)
    install(FILES ${packaging_build}/erilaisetrivit-rivit.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  else()
    message(STATUS "help2man is not installed: erilaisetrivit-rivit gets no manual page (scripts/setup.sh package)")
  endif()
  add_custom_target(documents ALL DEPENDS ${compressed_documents})

  install(FILES ${packaging_source}/copyright ${packaging_build}/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})
  install(FILES ${packaging_build}/erilaisetrivit.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${packaging_source}/erilaisetrivit-rivit.bash-completion
          DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME erilaisetrivit-rivit)
  install(FILES ${packaging_source}/lintian-overrides
          DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME erilaisetrivit)
endif()

set(CPACK_PACKAGE_NAME erilaisetrivit)
set(CPACK_PACKAGE_VENDOR erilaisetrivit)
set(CPACK_PACKAGE_CONTACT "erilaisetrivit developers <erilaisetrivit@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Lottery rows that differ from one another as much as possible")
# Lines of at most 80 columns, as Debian asks of a package's description.
set(CPACK_PACKAGE_DESCRIPTION
    "erilaisetrivit draws lottery rows of 7 numbers from 1 to 40 in five phases
and prints how many rows it kept; erilaisetrivit-rivit prints the rows
themselves and checks any set of rows.")
set(CPACK_PACKAGE_INSTALL_DIRECTORY erilaisetrivit)
set(CPACK_STRIP_FILES ON)
if(ERILAISETRIVIT_TARGET STREQUAL "windows")
  set(CPACK_GENERATOR ZIP)
  set(CPACK_SYSTEM_NAME ${CMAKE_SYSTEM_PROCESSOR}-windows)
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION utils)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
endif()
include(CPack)
