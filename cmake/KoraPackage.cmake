# The Debian package: the program folder in /opt/kora, links in /usr/bin, the
# menu entry, AppStream data, icons and documentation. `cmake --install` alone
# still lays out a bare program folder under its prefix: the desktop files
# belong to the component "desktop", which only the package installs.

set(KORA_PACKAGE_FOLDER /opt/kora)
set(KORA_PACKAGING ${CMAKE_SOURCE_DIR}/packaging)
set(KORA_STAGING ${CMAKE_BINARY_DIR}/packaging)

# The links in /usr/bin, made here and installed as they are.
file(MAKE_DIRECTORY ${KORA_STAGING}/bin)
foreach(program kora kora-batch)
    file(CREATE_LINK ${KORA_PACKAGE_FOLDER}/${program} ${KORA_STAGING}/bin/${program} SYMBOLIC)
endforeach()
install(FILES ${KORA_STAGING}/bin/kora ${KORA_STAGING}/bin/kora-batch
        DESTINATION /usr/bin COMPONENT desktop EXCLUDE_FROM_ALL)

install(FILES ${KORA_PACKAGING}/org.kora.KORA.desktop
        DESTINATION /usr/share/applications COMPONENT desktop EXCLUDE_FROM_ALL)
install(FILES ${KORA_PACKAGING}/org.kora.KORA.metainfo.xml
        DESTINATION /usr/share/metainfo COMPONENT desktop EXCLUDE_FROM_ALL)
install(FILES ${KORA_PACKAGING}/kora.svg
        DESTINATION /usr/share/icons/hicolor/scalable/apps COMPONENT desktop EXCLUDE_FROM_ALL)
install(FILES ${KORA_PACKAGING}/copyright
        DESTINATION /usr/share/doc/kora COMPONENT desktop EXCLUDE_FROM_ALL)
install(FILES ${KORA_PACKAGING}/lintian-overrides RENAME kora
        DESTINATION /usr/share/lintian/overrides COMPONENT desktop EXCLUDE_FROM_ALL)

# The icons of fixed sizes and the compressed changelog and manual pages are
# made while the package is put together (rsvg-convert, gzip).
install(CODE "
    foreach(size 48 128 256)
        set(folder \"\$ENV{DESTDIR}/usr/share/icons/hicolor/\${size}x\${size}/apps\")
        file(MAKE_DIRECTORY \"\${folder}\")
        execute_process(COMMAND rsvg-convert -w \${size} -h \${size}
                                ${KORA_PACKAGING}/kora.svg -o \${folder}/kora.png
                        COMMAND_ERROR_IS_FATAL ANY)
    endforeach()
    file(MAKE_DIRECTORY \"\$ENV{DESTDIR}/usr/share/doc/kora\" \"\$ENV{DESTDIR}/usr/share/man/man1\")
    execute_process(COMMAND gzip -9nc ${KORA_PACKAGING}/changelog
                    OUTPUT_FILE \"\$ENV{DESTDIR}/usr/share/doc/kora/changelog.gz\"
                    COMMAND_ERROR_IS_FATAL ANY)
    foreach(page kora kora-batch)
        execute_process(COMMAND gzip -9nc ${KORA_PACKAGING}/\${page}.1
                        OUTPUT_FILE \"\$ENV{DESTDIR}/usr/share/man/man1/\${page}.1.gz\"
                        COMMAND_ERROR_IS_FATAL ANY)
    endforeach()
" COMPONENT desktop EXCLUDE_FROM_ALL)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kora)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "KORA maintainers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "workers' compensation prospecting for insurance agents")
set(CPACK_PACKAGE_DESCRIPTION
    "KORA holds a database of employers per state, with each employer's history of\n"
    "experience modification factors, its rating classes and its contacts. Agents\n"
    "save lookups, keep their own notes per employer, print reports and labels,\n"
    "export and back up their notes. The agents of one office share the program\n"
    "folder /opt/kora as members of the group kora.")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_PACKAGING_INSTALL_PREFIX ${KORA_PACKAGE_FOLDER})
set(CPACK_INSTALL_PREFIX ${KORA_PACKAGE_FOLDER})
# The desktop files go to absolute folders (/usr/...), inside the staging folder.
set(CPACK_SET_DESTDIR ON)
set(CPACK_STRIP_FILES ON)
# One package of both components: the program folder and the desktop files.
set(CPACK_COMPONENTS_ALL Unspecified desktop)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "KORA maintainers <maintainers@kora.invalid>")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# What the libraries' links do not show: Qt's window system plugins, and
# addgroup for the maintainer scripts.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, adduser")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${KORA_PACKAGING}/postinst ${KORA_PACKAGING}/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The package needs only the two programs, not the tests and benchmarks.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
include(CPack)
