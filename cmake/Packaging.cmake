# Linux software's layout and its Debian package. `cmake --install` puts the LV2 bundle in
# lib/lv2/quillograph.lv2, the CLAP plug-in in lib/clap/quillograph, quillograph-render in bin with its manual page, and the guide and
# the copyright in share/doc/quillograph; `cpack -G DEB` (or the package target) wraps the
# same files, under /usr and with what Debian adds, into quillograph_<version>_<arch>.deb.
if(WIN32)
    return()
endif()
include(GNUInstallDirs)

# The package's own revision of the project's version, named in its changelog.
set(QUILLOGRAPH_DEB_RELEASE 1)
set(QUILLOGRAPH_DEB_VERSION ${PROJECT_VERSION}-${QUILLOGRAPH_DEB_RELEASE})
set(QUILLOGRAPH_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/quillograph)

# Files Debian wants compressed are compressed as they are installed, without a name or a
# time stamp inside, so the same sources make the same package.
# An optional third argument names a component only the package installs.
function(quillograph_install_gzipped source destination)
    get_filename_component(name ${source} NAME)
    set(packed ${CMAKE_BINARY_DIR}/packaging/${name}.gz)
    set(component)
    if(ARGC GREATER 2)
        set(component COMPONENT ${ARGV2} EXCLUDE_FROM_ALL)
    endif()
    install(CODE "file(MAKE_DIRECTORY \"${CMAKE_BINARY_DIR}/packaging\")
        execute_process(COMMAND gzip -9nc \"${source}\" OUTPUT_FILE \"${packed}\" RESULT_VARIABLE failed)
        if(failed)
            message(FATAL_ERROR \"gzip ${source} failed\")
        endif()" ${component})
    install(FILES ${packed} DESTINATION ${destination} ${component})
endfunction()

# A stripped install (the package's) also drops the compiler's notes, as Debian's own
# packages are stripped.
function(quillograph_strip_notes target destination)
    install(CODE "if(CMAKE_INSTALL_DO_STRIP)
        execute_process(COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment --remove-section=.note
            \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${destination}/$<TARGET_FILE_NAME:${target}>\"
            RESULT_VARIABLE failed)
        if(failed)
            message(FATAL_ERROR \"strip $<TARGET_FILE_NAME:${target}> failed\")
        endif()
    endif()")
endfunction()

# LV2 hosts look in <prefix>/lib/lv2 on every distribution, whatever the prefix's library
# folder. The module is not a program: it is installed without execute bits, as Debian's
# tools leave shared objects.
if(TARGET quillograph_lv2)
    set(bundle lib/lv2/quillograph.lv2)
    install(TARGETS quillograph_lv2 LIBRARY DESTINATION ${bundle}
            PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
    quillograph_strip_notes(quillograph_lv2 ${bundle})
    install(FILES ${QUILLOGRAPH_LV2_BUNDLE}/manifest.ttl ${QUILLOGRAPH_LV2_BUNDLE}/quillograph.ttl
            DESTINATION ${bundle})
    # The editor's corner square opens the guide beside the binary.
    if(TARGET user_guide)
        install(FILES ${QUILLOGRAPH_USER_GUIDE} DESTINATION ${bundle})
    endif()
endif()

# CLAP hosts search /usr/lib/clap and its folders: the plug-in has a folder of its own there,
# so that its guide can lie beside it as the LV2 bundle's does.
if(TARGET quillograph_clap)
    set(clap_folder lib/clap/quillograph)
    install(TARGETS quillograph_clap LIBRARY DESTINATION ${clap_folder}
            PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
    quillograph_strip_notes(quillograph_clap ${clap_folder})
    if(TARGET user_guide)
        install(FILES ${QUILLOGRAPH_USER_GUIDE} DESTINATION ${clap_folder})
    endif()
endif()

if(TARGET quillograph-render)
    install(TARGETS quillograph-render RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    quillograph_strip_notes(quillograph-render ${CMAKE_INSTALL_BINDIR})
    quillograph_install_gzipped(${PROJECT_SOURCE_DIR}/docs/quillograph-render.1 ${CMAKE_INSTALL_MANDIR}/man1)
endif()

install(FILES ${PROJECT_SOURCE_DIR}/docs/debian/copyright DESTINATION ${QUILLOGRAPH_DOC_DIR})

# What only the Debian package holds: its changelog, the guide's entry for the system's
# documentation index, and the reasons for the warnings lintian is told to leave out.
# `cmake --install` leaves them out; the package asks for them by component.
configure_file(${PROJECT_SOURCE_DIR}/docs/debian/changelog.in ${CMAKE_BINARY_DIR}/packaging/changelog.Debian @ONLY)
quillograph_install_gzipped(${CMAKE_BINARY_DIR}/packaging/changelog.Debian ${QUILLOGRAPH_DOC_DIR} debian)
install(FILES ${PROJECT_SOURCE_DIR}/docs/debian/doc-base DESTINATION ${CMAKE_INSTALL_DATADIR}/doc-base
        RENAME quillograph COMPONENT debian EXCLUDE_FROM_ALL)
install(FILES ${PROJECT_SOURCE_DIR}/docs/debian/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
        RENAME quillograph COMPONENT debian EXCLUDE_FROM_ALL)

set(CPACK_GENERATOR DEB)
# Everything `cmake --install` puts, then the package's own component.
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};Quillograph;ALL;/;${CMAKE_BINARY_DIR};Quillograph;debian;/")
set(CPACK_PACKAGE_NAME quillograph)
set(CPACK_PACKAGE_VENDOR Veksa)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Veksa <quillograph@veksa.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "real-time audio analyser LV2 plug-in with four live displays")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE ${QUILLOGRAPH_DEB_RELEASE})
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The long description, below the summary as the synopsis; CPack indents it as Debian does.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Quillograph is a real-time audio analyser for your DAW. It passes audio
through untouched and shows, in a 232 x 96 editor at 24 frames per second,
one of four live displays of what is playing: a waveform envelope (time), a
log-frequency spectrum (freq), a stereo mid/side image (phase) and a
scrolling spectrogram (spectro). Its four parameters (domain, v scale,
fft zoom, pause) and its colours are stored with your project.

This package holds the LV2 and CLAP plug-ins with their X11 editor, for
hosts such as Qtractor and jalv, and quillograph-render, which plays any
audio file through the analyser and writes the editor's pictures as PNG
files.")
include(CPack)
