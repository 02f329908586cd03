# The Debian packages, by purpose; sourced by scripts/lib.sh.
NATIVE_PACKAGES=(cmake ninja-build g++ pkg-config googletest libgtest-dev libbenchmark-dev
                 libpng-dev libfreetype-dev libfontconfig-dev fontconfig fonts-dejavu-core
                 libx11-dev libxext-dev libxrandr-dev libxinerama-dev libwayland-dev wayland-protocols
                 plasma-wayland-protocols libsystemd-dev)
# The Windows builds, and their release's signing (osslsigncode), which a test tries with a
# certificate openssl makes.
WINDOWS_PACKAGES=(mingw-w64 g++-mingw-w64-x86-64 g++-mingw-w64-i686 sox icoutils nsis p7zip-full osslsigncode openssl)
RELEASE_PACKAGES=(zip)
# The page: Debian's Emscripten (with Node.js), fonttools and the DejaVu face it cuts down for
# the words, and Chromium, Node.js and Python for its tests.
WEB_PACKAGES=(emscripten nodejs chromium python3 fonttools fonts-dejavu-extra)
# The Debian package: cpack's dependency list (dpkg-shlibdeps, file) and its test (lintian,
# hardening-check from devscripts, appstreamcli).
DEB_PACKAGES=(dpkg-dev file lintian devscripts appstream)
WINE_PACKAGES=(wine wine64 xvfb xauth xdotool x11-apps x11-xserver-utils imagemagick
               xserver-xorg-core xserver-xorg-video-dummy)
# The X11 hack's tests: a virtual X server, Xorg's dummy driver for two monitors, the real
# XScreenSaver daemon, screen reading, window properties (xprop).
X11_TEST_PACKAGES=(xvfb xserver-xorg-core xserver-xorg-video-dummy x11-xserver-utils xscreensaver xdotool
                   imagemagick util-linux x11-utils)
# The Wayland program's tests: a headless sway, grim to read its outputs, wayvnc for input (a
# short Python script speaks to it), setpriv to run the compositors as an unprivileged user;
# headless GNOME Shell and KWin in private D-Bus sessions, driven over D-Bus with Debian's
# GObject binding for Python; KWin's protocol XML for the fake-input client; the desktop portal
# with GNOME's backend (and its permission store) for the desktop read through the portal; the
# session-bus test's stand-in services in Python; busctl (systemd) for the portal's permission line.
WAYLAND_TEST_PACKAGES=(sway grim wayvnc python3 imagemagick util-linux gnome-shell kwin-wayland plasma-wayland-protocols
                       dbus-daemon python3-gi python3-dbus xdg-desktop-portal xdg-desktop-portal-gnome systemd)
# The arm64 cross build and its tests under emulation: the cross compiler, qemu-user, and the
# target's libraries from Debian's multiarch packages (never the machine's own tools).
ARM64_PACKAGES=(g++-aarch64-linux-gnu qemu-user libpng-dev:arm64 libfreetype-dev:arm64 libfontconfig-dev:arm64
                libgtest-dev:arm64 libx11-dev:arm64 libxext-dev:arm64 libxrandr-dev:arm64 libxinerama-dev:arm64
                libwayland-dev:arm64 libstdc++6:arm64 libsystemd-dev:arm64)
