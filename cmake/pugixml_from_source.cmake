# pugixml for a cross build. Debian ships the library for the build machine only, so the
# target's copy is compiled from Debian's sources of the installed version, which
# scripts/fetch-debian-source.sh unpacks (build/deps/pugixml for the windows preset).
set(DAV_PUGIXML_SOURCE "" CACHE PATH "Unpacked pugixml sources for cross builds")
if(DAV_PUGIXML_SOURCE AND EXISTS ${DAV_PUGIXML_SOURCE}/src/pugixml.cpp)
  add_library(pugixml STATIC ${DAV_PUGIXML_SOURCE}/src/pugixml.cpp)
  target_include_directories(pugixml SYSTEM PUBLIC ${DAV_PUGIXML_SOURCE}/src)
  target_compile_options(pugixml PRIVATE -w)  # third-party code: its warnings are not ours
  add_library(pugixml::pugixml ALIAS pugixml)
else()
  message(WARNING "No pugixml sources in '${DAV_PUGIXML_SOURCE}' "
                  "(run scripts/fetch-debian-source.sh pugixml libpugixml-dev build/deps)")
endif()
