# The user guide, Quillograph.html, made from the README's sections for users and put beside
# each plug-in binary: next to Quillograph.dll, inside the LV2 bundle. The editor's corner
# square opens it from there.
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
add_custom_target(user_guide ALL DEPENDS ${QUILLOGRAPH_USER_GUIDE})
# Building a plug-in binary alone puts the guide beside it too.
foreach(binary Quillograph quillograph_lv2)
    if(TARGET ${binary})
        add_dependencies(${binary} user_guide)
    endif()
endforeach()

if(NOT WIN32)
    include(GNUInstallDirs)
    install(FILES ${QUILLOGRAPH_USER_GUIDE} DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/quillograph)
endif()
