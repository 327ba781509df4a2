# Finding what the build needs. A missing library stops the configure with the name of
# the Debian package that provides it; scripts/install-deps installs them all.

# tavlin_require_modules(<prefix> "<Debian packages>" <pkg-config modules>...):
# PkgConfig::<prefix> for the modules.
macro(tavlin_require_modules prefix debian_packages)
  # Global, so that every folder that links one of its libraries sees the target.
  pkg_check_modules(${prefix} QUIET IMPORTED_TARGET GLOBAL ${ARGN})
  if(NOT ${prefix}_FOUND)
    set(_tavlin_wanted ${ARGN})
    list(JOIN _tavlin_wanted ", " _tavlin_wanted)
    message(FATAL_ERROR "Tavlin needs ${_tavlin_wanted} (pkg-config), which was not found: "
                        "install the Debian package(s) ${debian_packages}, or run scripts/install-deps.")
  endif()
endmacro()

# tavlin_require_package(<CMake package> "<Debian packages>" [find_package arguments]...)
macro(tavlin_require_package package debian_packages)
  find_package(${package} QUIET ${ARGN})
  if(NOT ${package}_FOUND)
    set(_tavlin_wanted ${ARGN})
    list(REMOVE_ITEM _tavlin_wanted COMPONENTS)
    list(JOIN _tavlin_wanted " " _tavlin_wanted)
    message(FATAL_ERROR "Tavlin needs the CMake package ${package} ${_tavlin_wanted}, which was not found: "
                        "install the Debian package(s) ${debian_packages}, or run scripts/install-deps.")
  endif()
endmacro()

find_package(PkgConfig QUIET)
if(NOT PKG_CONFIG_FOUND)
  message(FATAL_ERROR "Tavlin needs pkg-config to find its libraries: install the Debian package "
                      "pkg-config, or run scripts/install-deps.")
endif()
