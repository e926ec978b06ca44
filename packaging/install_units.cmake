# Installs the systemd user units of QORV_UNIT_SOURCE where systemd looks for
# packaged user units, replacing the executable path the service names by
# default with the installed executable's.
set(default_path "%h/qorvsync/qorvsync")
set(installed_path "${CMAKE_INSTALL_PREFIX}/${QORV_BINDIR}/qorvsync")
set(unit_dir "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/lib/systemd/user")
file(MAKE_DIRECTORY "${unit_dir}")
file(GLOB units "${QORV_UNIT_SOURCE}/*.service" "${QORV_UNIT_SOURCE}/*.timer")
foreach(unit ${units})
  file(READ "${unit}" text)
  if(unit MATCHES "\\.service$")
    string(FIND "${text}" "${default_path}" at)
    if(at EQUAL -1)
      message(FATAL_ERROR "${unit} no longer names ${default_path}: "
                          "packaging/install_units.cmake cannot give it the installed path")
    endif()
  endif()
  string(REPLACE "${default_path}" "${installed_path}" text "${text}")
  get_filename_component(name "${unit}" NAME)
  message(STATUS "Installing: ${unit_dir}/${name}")
  file(WRITE "${unit_dir}/${name}" "${text}")
endforeach()
