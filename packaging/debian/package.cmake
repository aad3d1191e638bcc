# The Debian package, written by CPack's DEB generator (scripts/package runs it): everything
# the install rules install, under /usr.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME brenvale)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Merrowin)
set(CPACK_PACKAGE_CONTACT ${BRENVALE_MAINTAINER})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://www.merrowin.example/)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "batch converter for video and audio files")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Brenvale converts video and audio files in batches: collect the files in a
checked list, pick an output format (SWF, FLV, AVI, MP3, MP4, MPEG, MOV, WMV,
H.264 or H.265 MP4, WebM, Matroska, M4A, Opus or FLAC) and a folder, and
convert every checked file while the list shows each file's progress. The
same window plays the selected file and saves snapshots.

brenvale-cli converts the same way without a window.")

# What the programs link is found in the binaries; what the binding loads at run time is named
# here: the media libraries of the headers the build used (FFmpeg 5.1) and SDL 2, then Qt's
# picture plug-ins for the SVG icon and the skins' pictures.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(runtime_packages)
foreach(library avcodec avdevice avfilter avformat avutil swresample swscale)
  string(REGEX MATCH "^[0-9]+" major "${MEDIA_HEADERS_lib${library}_VERSION}")
  list(APPEND runtime_packages "lib${library}${major} (>= 7:5.1)")
endforeach()
list(APPEND runtime_packages "libsdl2-2.0-0 (>= 2.26)" libqt6svg6)
list(JOIN runtime_packages ", " CPACK_DEBIAN_PACKAGE_DEPENDS)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-wayland)

include(CPack)
