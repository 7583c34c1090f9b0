# Shared by the commands in tools/: Debian packages, the X display and the
# environment that Wine runs our programs in. Source it; it defines functions.

TOLVANE_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
TOLVANE_BUILD=${TOLVANE_BUILD:-$TOLVANE_ROOT/build}

die() {
    echo "error: $*" >&2
    exit 1
}

# Installs the Debian packages that are missing: as root through apt-get,
# otherwise it prints the line to run and stops.
ensure_packages() {
    local missing=() package installed found="$TOLVANE_BUILD/.packages-found"
    # A list found installed since dpkg last changed anything still is: the
    # query below is a hundredth of a second of every start.
    if [ "$found" -nt /var/lib/dpkg/status ] && grep -qxF "$*" "$found" 2>/dev/null; then
        return 0
    fi
    # One query for all: a dozen of them took a second of every start. It
    # fails when a package is unknown to dpkg, as on a fresh machine.
    installed=$(dpkg-query -W -f='${Status} ${Package}\n' "$@" 2>/dev/null | sed -n 's/^install ok installed //p' || true)
    installed=" ${installed//$'\n'/ } "
    for package in "$@"; do
        [[ "$installed" == *" $package "* ]] || missing+=("$package")
    done
    if [ ${#missing[@]} -eq 0 ]; then
        # The lists found before dpkg's last change go.
        [ "$found" -nt /var/lib/dpkg/status ] || rm -f "$found"
        { mkdir -p "$TOLVANE_BUILD" && echo "$*" >>"$found"; } 2>/dev/null || true
        return 0
    fi
    if [ "$(id -u)" -ne 0 ]; then
        echo "Tolvane needs these Debian packages. Install them, then run this command again:" >&2
        echo "    sudo apt-get update && sudo apt-get install -y ${missing[*]}" >&2
        exit 1
    fi
    echo "Installing ${missing[*]}"
    apt-get update -q >/dev/null || die "apt-get update failed"
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${missing[@]}" >/dev/null || die "apt-get install ${missing[*]} failed"
}

# The cross toolchain and Wine that build and run the PE programs; Python
# and gcab write the cabinets.
PE_PACKAGES=(cmake make g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64 googletest libstb-dev wine wine64 fonts-wine xvfb
    python3 gcab)
# The host build of the card engine: sanitizers and benchmarks.
NATIVE_PACKAGES=(g++ libgtest-dev libbenchmark-dev)
# The device build: Debian's bare-metal ARM compiler, the PE writer's ELF
# reader, and the ARM emulator and PE readers of the ARM tests.
CE_PACKAGES=(gcc-arm-none-eabi binutils-arm-none-eabi python3-pyelftools python3-unicorn python3-pefile llvm file)
# What the tests use besides: xdotool taps the device in the run command's test,
# ImageMagick reads what the display shows, cabextract reads the cabinets.
TEST_PACKAGES=(xdotool imagemagick cabextract)

# Builds the PE programs into $TOLVANE_BUILD/pe: the targets named, or all.
# A configured tree is not configured again, as its build runs CMake itself
# when a CMakeLists.txt changes.
build_pe() {
    [ -f "$TOLVANE_BUILD/pe/Makefile" ] || cmake -S "$TOLVANE_ROOT" -B "$TOLVANE_BUILD/pe" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$TOLVANE_ROOT/cmake/mingw-w64-x86_64.cmake" >/dev/null || die "configuring the PE build failed"
    cmake --build "$TOLVANE_BUILD/pe" -j "$(nproc)" ${1:+--target "$@"} || die "the PE build failed"
}

# Builds Tolvane.dll for Windows CE on ARM, its cabinet Tolvane.cab and its
# tests, into $TOLVANE_BUILD/ce.
build_ce() {
    [ -f "$TOLVANE_BUILD/ce/Makefile" ] || cmake -S "$TOLVANE_ROOT" -B "$TOLVANE_BUILD/ce" -DCMAKE_BUILD_TYPE=MinSizeRel \
        -DCMAKE_TOOLCHAIN_FILE="$TOLVANE_ROOT/cmake/arm-wince.cmake" >/dev/null || die "configuring the device build failed"
    cmake --build "$TOLVANE_BUILD/ce" -j "$(nproc)" || die "the device build failed"
}

# Gives Windows programs an X display: the one set, or a private one.
ensure_display() {
    [ -n "${DISPLAY:-}" ] && return 0
    start_private_display
}

# A private Xvfb of the host's usual size, whatever DISPLAY says; it ends
# with stop_display. The server picks a free display number itself and tells
# it (-displayfd): a number guessed from /tmp may be held by a server that
# /tmp does not show, such as one of another user or another /tmp.
start_private_display() {
    local answer number tries=0
    answer=$(mktemp) || die "cannot make a temporary file for Xvfb"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$answer" >/dev/null 2>&1 &
    TOLVANE_XVFB_PID=$!
    # A whole line: the server writes the number once it takes connections.
    until read -r number <"$answer"; do
        tries=$((tries + 1))
        if [ $tries -gt 100 ] || ! kill -0 "$TOLVANE_XVFB_PID" 2>/dev/null; then
            stop_display
            rm -f "$answer"
            die "Xvfb did not start a display"
        fi
        sleep 0.1
    done
    rm -f "$answer"
    export DISPLAY=":$number"
}

# A Wine that stays quiet and never offers to install Mono or Gecko, with one
# server kept up for all the programs this shell starts (ended by
# stop_wine). With "quick", a prefix made before is not booted here but by
# its first program, as `wine notepad` boots it: the boot is most of a
# warm start.
wine_environment() {
    export WINEPREFIX=$1
    export WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml="
    mkdir -p "$WINEPREFIX"
    wineserver -p 2>/dev/null || true
    [ -f "$WINEPREFIX/system.reg" ] || echo "Creating the Wine prefix $WINEPREFIX (once)"
    # Boot now, with our output closed: Wine's background services would
    # otherwise hold on to the output of the first program (and ctest waits
    # for it).
    if [ "${2:-}" != quick ] || [ ! -f "$WINEPREFIX/system.reg" ]; then
        wineboot --init </dev/null >/dev/null 2>&1 || die "wineboot could not start $WINEPREFIX"
    fi
    install_device_fonts
}

# The Pocket PC draws in Tahoma. Wine's own Tahoma and Tahoma Bold are in
# fonts-wine, but a prefix takes fonts only from its C:\windows\Fonts, and
# without them Wine hands "Tahoma" to whatever font the host has. Marlett
# draws the symbols of window captions (without it they are letters).
install_device_fonts() {
    local fonts="$WINEPREFIX/drive_c/windows/Fonts" face
    for face in tahoma.ttf tahomabd.ttf marlett.ttf; do
        # Copied after Wine's own last changed: no program to run at each start.
        [ "$fonts/$face" -nt "/usr/share/wine/fonts/$face" ] && continue
        cp "/usr/share/wine/fonts/$face" "$fonts/$face" || die "cannot install $face in $WINEPREFIX"
    done
    # Dialog templates ask for "System" 8 point, which the device draws in
    # Tahoma. Wine 8 finds no System font and falls back to Tahoma; Wine 10
    # loads its bitmap System (16 pixels high) and lays every dialog out
    # larger than the screen. The registry file takes that font away and
    # names Tahoma for System, on both; and gives both Wine 8's captions and
    # text without smoothing.
    grep -qi '^"System"="Tahoma"' "$WINEPREFIX/system.reg" 2>/dev/null &&
        ! grep -qi '^"FONTS.FON"=' "$WINEPREFIX/system.reg" &&
        grep -qi '^"CaptionHeight"="18"' "$WINEPREFIX/user.reg" &&
        grep -qi '^"FontSmoothing"="0"' "$WINEPREFIX/user.reg" && return 0
    import_registry device-fonts.reg || die "cannot give the device its dialog font in $WINEPREFIX"
}

# Merges a registry file of tools/lib into the prefix's registry.
import_registry() {
    wine regedit /S "Z:${TOLVANE_ROOT//\//\\}\\tools\\lib\\$1" >/dev/null 2>&1
}

# Waits for the server to end: the next command's server would otherwise
# find the old one, and its desktops, still there.
stop_wine() {
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
}

stop_display() {
    if [ -n "${TOLVANE_XVFB_PID:-}" ]; then
        kill "$TOLVANE_XVFB_PID" 2>/dev/null || true
    fi
}

# Ends what this shell started, keeping its exit status, or ending with the
# one given. Set it with trap end_session EXIT.
end_session() {
    local status=${1:-$?}
    stop_wine
    stop_display
    exit "$status"
}
