# The Debian packages, by purpose; sourced by the run, test and release commands.
NATIVE_PACKAGES=(cmake ninja-build g++ pkg-config googletest libgtest-dev libbenchmark-dev
                 libpng-dev libfreetype-dev libfontconfig-dev fontconfig fonts-dejavu-core
                 libx11-dev libxext-dev libxrandr-dev libxinerama-dev)
WINDOWS_PACKAGES=(mingw-w64 g++-mingw-w64-x86-64 g++-mingw-w64-i686 sox icoutils nsis p7zip-full)
RELEASE_PACKAGES=(zip)
# The Debian package: cpack's dependency list (dpkg-shlibdeps, file) and its test (lintian).
DEB_PACKAGES=(dpkg-dev file lintian)
WINE_PACKAGES=(wine wine64 xvfb xauth xdotool x11-apps x11-xserver-utils imagemagick
               xserver-xorg-core xserver-xorg-video-dummy)
# The X11 hack's tests: a virtual X server, Xorg's dummy driver for two monitors, the real
# XScreenSaver daemon, screen reading, window properties (xprop).
X11_TEST_PACKAGES=(xvfb xserver-xorg-core xserver-xorg-video-dummy x11-xserver-utils xscreensaver xdotool
                   imagemagick util-linux x11-utils)
