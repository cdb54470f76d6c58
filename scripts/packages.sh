# Sourced by the scripts: installs the Debian packages that are missing, and nothing else.
# sudo is used only when not running as root.

# The packages every build and test run needs.
BUILD_PACKAGES=(cmake ninja-build g++ pkg-config libsqlite3-dev libpugixml-dev libcli11-dev
                libgtest-dev libgmock-dev libbenchmark-dev
                # The desktop editor (Qt 6 Widgets; its tests use the offscreen platform of
                # libqt6gui6) and a font with Korean glyphs for its texts.
                qt6-base-dev fonts-nanum
                # davhost room report reads the PCs' JSON reports; the JSON writer's fuzz target
                # checks against it as a strict parser.
                nlohmann-json3-dev)

# The default test stage's room tests: the Ansible example run with ansible-core, and the
# report pages opened in a headless browser.
ROOM_TEST_PACKAGES=(ansible-core chromium)

# The display that Wine shows windows on in the Windows test stage (an X server without a
# screen).
DISPLAY_PACKAGES=(xvfb)

package_installed() {
  dpkg -s "$1" 2>/dev/null | grep -q '^Status: install ok installed'
}

ensure_packages() {
  local missing=() package
  for package in "$@"; do
    package_installed "$package" || missing+=("$package")
  done
  if [[ ${#missing[@]} -eq 0 ]]; then
    return 0
  fi
  local sudo=()
  if [[ $(id -u) -ne 0 ]]; then
    sudo=(sudo)
  fi
  echo "Installing missing packages: ${missing[*]}"
  "${sudo[@]}" apt-get update -qq
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive \
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
}
