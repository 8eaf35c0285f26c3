# The user guide, Quillograph.html, made from the README's sections for users and put beside
# each plug-in binary: next to Quillograph.dll and Quillograph.clap, inside the LV2 bundle. The
# editor's corner square opens it from there.
find_program(QUILLOGRAPH_CMARK_GFM cmark-gfm)
if(NOT QUILLOGRAPH_CMARK_GFM)
    message(WARNING "cmark-gfm not found (tools/setup-debian.sh installs it): no user guide beside the plug-in")
    return()
endif()

if(WIN32)
    set(QUILLOGRAPH_USER_GUIDE ${CMAKE_BINARY_DIR}/Quillograph.html)
elseif(QUILLOGRAPH_LV2)
    set(QUILLOGRAPH_USER_GUIDE ${QUILLOGRAPH_LV2_BUNDLE}/Quillograph.html)
else()
    set(QUILLOGRAPH_USER_GUIDE ${CMAKE_BINARY_DIR}/Quillograph.html)
endif()
file(GLOB guide_pictures CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/docs/images/*.png)
add_custom_command(OUTPUT ${QUILLOGRAPH_USER_GUIDE}
    COMMAND bash ${PROJECT_SOURCE_DIR}/tools/make-user-guide.sh ${PROJECT_SOURCE_DIR}/README.md
            ${QUILLOGRAPH_USER_GUIDE} ${QUILLOGRAPH_CMARK_GFM}
    DEPENDS ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/tools/make-user-guide.sh ${guide_pictures}
    COMMENT "Making the user guide Quillograph.html from README.md"
    VERBATIM)
# The Linux .clap lies in a folder of its own: a copy of the guide goes there.
set(guide_copies "")
if(NOT WIN32 AND TARGET quillograph_clap)
    set(clap_guide ${CMAKE_BINARY_DIR}/clap/Quillograph.html)
    add_custom_command(OUTPUT ${clap_guide}
        COMMAND ${CMAKE_COMMAND} -E copy ${QUILLOGRAPH_USER_GUIDE} ${clap_guide}
        DEPENDS ${QUILLOGRAPH_USER_GUIDE} VERBATIM)
    list(APPEND guide_copies ${clap_guide})
endif()
add_custom_target(user_guide ALL DEPENDS ${QUILLOGRAPH_USER_GUIDE} ${guide_copies})
# Building a plug-in binary alone puts the guide beside it too.
foreach(binary Quillograph quillograph_lv2 quillograph_clap)
    if(TARGET ${binary})
        add_dependencies(${binary} user_guide)
    endif()
endforeach()

if(NOT WIN32)
    include(GNUInstallDirs)
    install(FILES ${QUILLOGRAPH_USER_GUIDE} DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/quillograph)
endif()
