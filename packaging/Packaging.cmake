# Installation in the XDG places and a Debian package: `cmake --install`, `cpack -G DEB`.
include(GNUInstallDirs)

install(TARGETS velmor velmor-text RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_CURRENT_LIST_DIR}/velmor.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/velmor.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# Man pages are installed compressed, reproducibly (no name or time stamp in the archive).
set(man_page ${CMAKE_CURRENT_BINARY_DIR}/velmor-text.1.gz)
add_custom_command(OUTPUT ${man_page}
                   COMMAND gzip -9nc ${CMAKE_CURRENT_LIST_DIR}/velmor-text.1 > ${man_page}
                   DEPENDS ${CMAKE_CURRENT_LIST_DIR}/velmor-text.1
                   VERBATIM)
add_custom_target(velmor_man_pages ALL DEPENDS ${man_page})
install(FILES ${man_page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velmor)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Velmor记事本增强版 - GBK plain-text editor with batch text-processing commands")
set(CPACK_PACKAGE_DESCRIPTION
    "A plain-text editor for GBK (code page 936) documents, with dozens of batch commands: case, width and script conversion, filters, line-break and space clean-up, paragraph operations, regular-expression replace, codecs, text generators and multi-file tools. velmor-text runs every command from the command line.")
set(CPACK_PACKAGE_CONTACT "Velmor developers <velmor@localhost>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SECTION editors)
# Library dependencies come from the binaries themselves.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The script tables are read at run time; Qt's translations make its dialogs Chinese.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libopencc-data")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, fonts-noto-cjk")
include(CPack)
