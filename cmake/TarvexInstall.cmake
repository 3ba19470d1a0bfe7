# Installation and the Debian package.
#
# The executables and the control plugin live together in the program folder,
# <prefix>/lib/tarvex, because the program and the tools find the plugin (and the language
# modules) relative to their own executable. <prefix>/bin holds relative symbolic links to
# them, which the kernel resolves, so the program folder is found wherever the prefix is.
include(GNUInstallDirs)

set(TARVEX_INSTALL_PROGRAM_DIR lib/tarvex CACHE STRING
    "The program folder, relative to the prefix: executables, plugins/, language modules")
set(TARVEX_INSTALLED_TOOLS tarvex tarvexctl vr12 vr12sim)

install(TARGETS ${TARVEX_INSTALLED_TOOLS} RUNTIME DESTINATION ${TARVEX_INSTALL_PROGRAM_DIR})
install(TARGETS vr12comm LIBRARY DESTINATION ${TARVEX_INSTALL_PROGRAM_DIR}/plugins)
install(TARGETS ${TARVEX_LANGUAGE_MODULES} LIBRARY DESTINATION ${TARVEX_INSTALL_PROGRAM_DIR})

# bin/<tool> -> ../lib/tarvex/<tool>, computed for whatever the two folders are.
file(RELATIVE_PATH TARVEX_BIN_TO_PROGRAM
     ${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}
     ${CMAKE_INSTALL_PREFIX}/${TARVEX_INSTALL_PROGRAM_DIR})
foreach(tool IN LISTS TARVEX_INSTALLED_TOOLS)
    install(CODE "
        set(link \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/${tool}\")
        file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
        file(REMOVE \"\${link}\")
        file(CREATE_LINK \"${TARVEX_BIN_TO_PROGRAM}/${tool}\" \"\${link}\" SYMBOLIC)
        message(STATUS \"Installing: \${link} -> ${TARVEX_BIN_TO_PROGRAM}/${tool}\")")
endforeach()

# Desktop integration: the menu entry, the workspace file type and the icons.
install(FILES packaging/tarvex.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES packaging/tarvex-mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
        RENAME tarvex.xml)
install(DIRECTORY ${CMAKE_BINARY_DIR}/icons/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)

# Headless collection as a systemd user unit, pointing at the installed tool. Written at
# install time: the prefix may be given only then (cmake --install --prefix, the package).
install(CODE "
    set(tool \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/tarvexctl\")
    file(READ \"${CMAKE_SOURCE_DIR}/resources/systemd/tarvex-collect.service.in\" unit)
    string(REPLACE \"@TARVEX_TARVEXCTL@\" \"\\\"\${tool}\\\"\" unit \"\${unit}\")
    set(dir \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/lib/systemd/user\")
    file(MAKE_DIRECTORY \"\${dir}\")
    file(WRITE \"\${dir}/tarvex-collect.service\" \"\${unit}\")
    message(STATUS \"Installing: \${dir}/tarvex-collect.service\")")

# Manual pages, compressed as Debian keeps them; the udev rule only as an example.
set(TARVEX_MAN_PAGES tarvex tarvexctl vr12 vr12sim)
foreach(page IN LISTS TARVEX_MAN_PAGES)
    set(out ${CMAKE_BINARY_DIR}/man/${page}.1.gz)
    add_custom_command(OUTPUT ${out}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
        COMMAND gzip -9nc ${CMAKE_SOURCE_DIR}/docs/man/${page}.1 > ${out}
        DEPENDS ${CMAKE_SOURCE_DIR}/docs/man/${page}.1)
    list(APPEND TARVEX_MAN_OUTPUTS ${out})
endforeach()
add_custom_target(tarvex_man ALL DEPENDS ${TARVEX_MAN_OUTPUTS})
install(FILES ${TARVEX_MAN_OUTPUTS} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES README.md DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tarvex)
install(FILES packaging/99-tarvex-serial.rules DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tarvex/examples)

# The package: runtime dependencies as dpkg-shlibdeps finds them, the SQLite ODBC driver as
# a recommendation (the embedded default connection uses it).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tarvex)
set(CPACK_PACKAGE_VENDOR "Tarvex")
set(CPACK_PACKAGE_CONTACT "Tarvex developers <tarvex@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "access control for serial door controllers")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Runs a small access-control site from one desktop PC: keeps employees and VR-12 door\n"
    "controllers in a workspace file, writes the employees' keys and cards into the\n"
    "controllers and collects every registration into monthly text files, a list on\n"
    "screen and an optional reporting database.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt finds no window system without its platform plugins. The toolkit's own texts (standard
# and wizard buttons) come in the language of a language module only with its translations,
# and the German wizard pages name those buttons as the translation labels them.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libsqliteodbc")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "tdsodbc")
set(CPACK_STRIP_FILES ON)
include(CPack)
