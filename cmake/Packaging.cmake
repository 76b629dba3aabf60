# Installation into the standard places of a Linux desktop, and the Debian package built from it by CPack.
include(GNUInstallDirs)

# The reverse-DNS name that the desktop entry and the AppStream metadata share; software centres match the
# two by it, so the files carry it in their names.
set(KESTROVA_APP_ID io.github.kestrova.Kestrova)
set(KESTROVA_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)

# The project's version is the one number: the changelog's newest entry and the AppStream file's newest
# release must name it too, so that `kestrova --version`, the package and software centres agree.
file(STRINGS ${KESTROVA_PACKAGING_DIR}/changelog changelog_top LIMIT_COUNT 1)
file(READ ${KESTROVA_PACKAGING_DIR}/${KESTROVA_APP_ID}.metainfo.xml metainfo)
if(NOT changelog_top MATCHES "^kestrova \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "packaging/changelog's newest entry is not version ${PROJECT_VERSION}: ${changelog_top}")
endif()
string(REGEX MATCH "<release version=\"([^\"]*)\"" newest_release "${metainfo}")
if(NOT CMAKE_MATCH_1 STREQUAL PROJECT_VERSION)
  message(FATAL_ERROR "The AppStream file's newest release is '${CMAKE_MATCH_1}', not ${PROJECT_VERSION}")
endif()

# Debian wants the manual page and the changelog compressed at the highest level and without a time
# stamp (-n), so that the same sources always give the same package.
set(kestrova_gzipped)
foreach(file kestrova.1 changelog)
  add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/packaging/${file}.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/packaging
    COMMAND gzip -9nc ${KESTROVA_PACKAGING_DIR}/${file} > ${PROJECT_BINARY_DIR}/packaging/${file}.gz
    DEPENDS ${KESTROVA_PACKAGING_DIR}/${file}
    VERBATIM)
  list(APPEND kestrova_gzipped ${PROJECT_BINARY_DIR}/packaging/${file}.gz)
endforeach()
add_custom_target(kestrova_packaging_files ALL DEPENDS ${kestrova_gzipped})

# Without the user interface (or while it is not there yet) there is no program to install, only its data.
if(TARGET kestrova)
  install(TARGETS kestrova RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
install(FILES ${KESTROVA_PACKAGING_DIR}/${KESTROVA_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${KESTROVA_PACKAGING_DIR}/kestrova.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${KESTROVA_PACKAGING_DIR}/${KESTROVA_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${PROJECT_BINARY_DIR}/packaging/kestrova.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${KESTROVA_PACKAGING_DIR}/copyright ${PROJECT_BINARY_DIR}/packaging/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DOCDIR})
# Texts of the program that Debian's spelling check takes for typing mistakes are its own, on purpose.
install(FILES ${KESTROVA_PACKAGING_DIR}/lintian-overrides RENAME kestrova
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides)

set(KESTROVA_MAINTAINER "Kestrova maintainers <maintainers@users.noreply.c-seed-c2b4a095.example>"
    CACHE STRING "Maintainer named in the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kestrova)
set(CPACK_PACKAGE_VENDOR "Kestrova")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${KESTROVA_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "workbench of small numeric and programming experiments")
# Lines of at most 80 characters, as Debian's control files want them.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "Kestrova shows how numbers behave in a real program. Its main window, in"
  "Polish, has one tab per experiment: the product of two complex numbers, the"
  "roots of a cubic equation by Cardano's formulas, the date of Easter, rounding"
  "and the floating-point remainder, the binary digits of an integer, the timing"
  "of three ways of reaching a variable, a parametric curve and a 24-bit bitmap.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${KESTROVA_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION math)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The dependencies are whatever the built program links, as dpkg-shlibdeps finds them, so they follow the
# Qt and C++ run-time libraries of the machine that built the package.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Besides: Qt's own translations, so that its dialogs speak the user's language; the program loads
# them when it starts, not through the linker.
set(CPACK_DEBIAN_PACKAGE_DEPENDS qt6-translations-l10n)
set(CPACK_STRIP_FILES ON)
# Directories in the package get the usual 0755 whatever the umask of the machine that builds it.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
include(CPack)
