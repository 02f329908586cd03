# What a native build makes, one switch each, as a packager sets them:
#   WRIGGLET_BUILD_X11         wrigglet, the XScreenSaver hack
#   WRIGGLET_BUILD_WAYLAND     wrigglet-wayland, the Wayland program
#   WRIGGLET_BUILD_SIM         wrigglet-sim, the headless simulator (the tests compare with it)
#   WRIGGLET_BUILD_BENCHMARKS  the benchmarks (Google Benchmark); off unless asked for
#   BUILD_TESTING              CTest's own: the unit tests (GoogleTest) and the scenarios
# A front end's switch starts on when its libraries are found; wrigglet_summary() says at the
# end of the configure step what will be built.
include(FeatureSummary)
find_package(PkgConfig QUIET)
find_package(PNG QUIET)
find_package(X11 QUIET)
if(PKG_CONFIG_FOUND)
  pkg_check_modules(WRIGGLET_FONTS QUIET freetype2 fontconfig)
  pkg_check_modules(WRIGGLET_WAYLAND_LIBS QUIET wayland-client wayland-protocols wayland-scanner libsystemd)
endif()
# KDE's idle protocol, which plasma-wayland-protocols installs beside wayland-protocols.
if(WRIGGLET_WAYLAND_LIBS_FOUND)
  pkg_get_variable(protocols wayland-protocols pkgdatadir)
  get_filename_component(protocols ${protocols} DIRECTORY)
  if(NOT EXISTS ${protocols}/plasma-wayland-protocols/idle.xml)
    set(WRIGGLET_WAYLAND_LIBS_FOUND OFF)
  endif()
endif()

set(x11_found OFF)
if(WRIGGLET_FONTS_FOUND AND X11_FOUND AND X11_Xext_FOUND AND X11_Xrandr_FOUND AND X11_Xinerama_FOUND)
  set(x11_found ON)
endif()
set(wayland_found OFF)
if(WRIGGLET_FONTS_FOUND AND PNG_FOUND AND WRIGGLET_WAYLAND_LIBS_FOUND)
  set(wayland_found ON)
endif()
set(sim_found OFF)
if(WRIGGLET_FONTS_FOUND AND PNG_FOUND)
  set(sim_found ON)
endif()

option(WRIGGLET_BUILD_X11 "Build wrigglet, the XScreenSaver hack (X11, Xext, Xrandr, Xinerama, FreeType, fontconfig)"
       ${x11_found})
option(WRIGGLET_BUILD_WAYLAND "Build wrigglet-wayland (wayland-client, wayland-protocols, \
plasma-wayland-protocols, wayland-scanner, libsystemd, libpng, FreeType, fontconfig)" ${wayland_found})
option(WRIGGLET_BUILD_SIM "Build wrigglet-sim, the headless simulator (libpng, FreeType, fontconfig)" ${sim_found})
option(WRIGGLET_BUILD_BENCHMARKS "Build the benchmarks (Google Benchmark)" OFF)

# The unit tests and the benchmarks reach into the simulator; every scenario compares with it.
if((BUILD_TESTING OR WRIGGLET_BUILD_BENCHMARKS) AND NOT WRIGGLET_BUILD_SIM)
  message(FATAL_ERROR "The tests and the benchmarks need wrigglet-sim (libpng, FreeType, fontconfig): "
                      "install those or configure with -DBUILD_TESTING=OFF -DWRIGGLET_BUILD_BENCHMARKS=OFF")
endif()

add_feature_info(wrigglet WRIGGLET_BUILD_X11 "the XScreenSaver hack (WRIGGLET_BUILD_X11)")
add_feature_info(wrigglet-wayland WRIGGLET_BUILD_WAYLAND "the Wayland program (WRIGGLET_BUILD_WAYLAND)")
add_feature_info(wrigglet-sim WRIGGLET_BUILD_SIM "the headless simulator (WRIGGLET_BUILD_SIM)")
add_feature_info(tests BUILD_TESTING "unit tests and scenarios, run by ctest (BUILD_TESTING)")
add_feature_info(benchmarks WRIGGLET_BUILD_BENCHMARKS "Google Benchmark (WRIGGLET_BUILD_BENCHMARKS)")

# The configure step's last words: what will be built, how it is hardened, where it installs.
function(wrigglet_summary)
  feature_summary(WHAT ENABLED_FEATURES DISABLED_FEATURES
                  DESCRIPTION "Wrigglet2004 ${PROJECT_VERSION}, what the build makes:")
  message(STATUS "Hardening: ${WRIGGLET_HARDENING}")
  message(STATUS "Installs under ${CMAKE_INSTALL_PREFIX} (the hack in ${CMAKE_INSTALL_FULL_LIBEXECDIR}/xscreensaver)")
endfunction()
