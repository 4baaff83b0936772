# What `cmake --install` puts where, and the packages that CPack makes of it:
# the two executables in bin/ and the README in share/doc/erilaisetrivit/; a
# Debian package of a Linux build, a .zip of a Windows build (whose
# executables need no DLL beyond the system's own).

include(GNUInstallDirs)
install(TARGETS erilaisetrivit erilaisetrivit-rivit RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_PACKAGE_NAME erilaisetrivit)
set(CPACK_PACKAGE_VENDOR erilaisetrivit)
set(CPACK_PACKAGE_CONTACT "erilaisetrivit developers <erilaisetrivit@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Lottery rows that differ from one another as much as possible")
set(CPACK_PACKAGE_DESCRIPTION
    "erilaisetrivit draws lottery rows of 7 numbers from 1 to 40 in five phases and prints how many rows it kept; erilaisetrivit-rivit prints the rows themselves and checks any set of rows.")
set(CPACK_PACKAGE_INSTALL_DIRECTORY erilaisetrivit)
set(CPACK_STRIP_FILES ON)
if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_SYSTEM_NAME ${CMAKE_SYSTEM_PROCESSOR}-windows)
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION games)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
endif()
include(CPack)
