# The Debian package: `cpack -G DEB` in a built build folder. Its dependencies are the
# packages of the shared libraries the programs and the encoders' module link, found by
# dpkg-shlibdeps (so FFmpeg's libraries come with the package, for lumitra-render's MP4, WebM
# and GIF), and the programs Lumitra runs or needs at run time: netpbm's ppmtompeg for movies
# and a Japanese font for the Japanese labels.

set(CPACK_PACKAGE_NAME lumitra)
set(CPACK_PACKAGE_VENDOR "The Lumitra developers")
set(CPACK_PACKAGE_CONTACT "${LUMITRA_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "interference figures of crystals for optical mineralogy")
set(CPACK_PACKAGE_DESCRIPTION
    "Lumitra is a teaching tool for optical mineralogy. It shows what a
polarizing microscope shows in convergent light between crossed
polarizers: the conoscopic interference figure of a thin crystal section,
with the coloured isochromes and the dark isogyres of a uniaxial or
biaxial crystal in any orientation, computed spectrally, with or without
the 530 nm test plate, as a single figure, a ring of figures for a
turning stage, or an animation.

Figures are saved as BMP or JPEG pictures and the turning stage as an
MPEG-1 movie; lumitra-render makes the same figures from the command
line, also as PNG pictures and as MP4, WebM or looping GIF movies for
slides and web pages. The windows speak English, and Japanese in a
Japanese locale.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_GENERATOR DEB)
set(CPACK_STRIP_FILES ON)
# Folders the package creates are 0755 whatever the builder's umask.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${LUMITRA_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "netpbm, fonts-ipafont-gothic")

# Debian's own files in the documentation folder: the machine-readable copyright, made from
# LICENSE, and the change log of the package.
file(STRINGS ${PROJECT_SOURCE_DIR}/LICENSE license_lines)
set(LUMITRA_LICENSE_TEXT "")
foreach(line IN LISTS license_lines)
    if(line MATCHES "^Copyright \\(c\\) (.*)$")
        set(LUMITRA_COPYRIGHT "${CMAKE_MATCH_1}")
    elseif(DEFINED LUMITRA_COPYRIGHT)
        if(line STREQUAL "")
            set(line ".")
        endif()
        string(APPEND LUMITRA_LICENSE_TEXT " ${line}\n")
    endif()
endforeach()
string(REGEX REPLACE "^ \\.\n" "" LUMITRA_LICENSE_TEXT "${LUMITRA_LICENSE_TEXT}")
configure_file(data/debian/copyright.in debian/copyright @ONLY)

execute_process(COMMAND date -u -R -d ${LUMITRA_RELEASE_DATE}
                OUTPUT_VARIABLE LUMITRA_RELEASE_DATE_RFC2822
                OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
configure_file(data/debian/changelog.in debian/changelog @ONLY)
add_custom_command(OUTPUT debian/changelog.gz
                   COMMAND gzip -9nkf changelog
                   DEPENDS ${CMAKE_BINARY_DIR}/debian/changelog
                   WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/debian
                   VERBATIM)
add_custom_target(debian_changelog ALL DEPENDS ${CMAKE_BINARY_DIR}/debian/changelog.gz)
install(FILES ${CMAKE_BINARY_DIR}/debian/copyright ${CMAKE_BINARY_DIR}/debian/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DOCDIR})

include(CPack)
