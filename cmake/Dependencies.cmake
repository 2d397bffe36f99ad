# Every third-party library comes from Debian packages (scripts/install-deps.sh).
# Debian's split OpenCV packages ship no CMake config, so the parts we use are found by hand.
find_package(SQLite3 REQUIRED)
find_package(PkgConfig REQUIRED)
find_package(CLI11 CONFIG REQUIRED)

pkg_check_modules(POLYCLIPPING REQUIRED IMPORTED_TARGET polyclipping)
add_library(polyclipping::polyclipping ALIAS PkgConfig::POLYCLIPPING)
pkg_check_modules(INIH REQUIRED IMPORTED_TARGET inih)
add_library(inih::inih ALIAS PkgConfig::INIH)
pkg_check_modules(XLSXWRITER REQUIRED IMPORTED_TARGET xlsxwriter)
pkg_check_modules(MUPARSERX IMPORTED_TARGET muparserx)
pkg_check_modules(FREEXL REQUIRED IMPORTED_TARGET freexl)
pkg_check_modules(MINIZIP REQUIRED IMPORTED_TARGET minizip)
find_package(pugixml REQUIRED)

find_path(OPENCV_INCLUDE_DIR opencv2/core.hpp PATH_SUFFIXES opencv4 REQUIRED)
foreach(part core imgproc imgcodecs videoio)
  find_library(OPENCV_${part}_LIBRARY opencv_${part} REQUIRED)
  add_library(opencv::${part} UNKNOWN IMPORTED)
  set_target_properties(opencv::${part} PROPERTIES
    IMPORTED_LOCATION "${OPENCV_${part}_LIBRARY}"
    INTERFACE_INCLUDE_DIRECTORIES "${OPENCV_INCLUDE_DIR}")
endforeach()
set_property(TARGET opencv::imgproc APPEND PROPERTY INTERFACE_LINK_LIBRARIES opencv::core)
set_property(TARGET opencv::imgcodecs APPEND PROPERTY INTERFACE_LINK_LIBRARIES opencv::core)
set_property(TARGET opencv::videoio APPEND PROPERTY INTERFACE_LINK_LIBRARIES opencv::core opencv::imgproc opencv::imgcodecs)

find_package(Threads REQUIRED)
if(VX_TESTS)
  find_package(GTest REQUIRED)
endif()
if(VX_BENCH)
  find_package(benchmark REQUIRED)
endif()
