# Mirrors the VST 2.4 bundle's data into the LV2 bundle (cmake -P, with FROM and TO set): the
# factory presets and themes are replaced as a whole, so removed files go too; the pictures,
# font and manual are copied; the user folders are only ever created, never emptied.
foreach(folder Presets Appearance)
  file(REMOVE_RECURSE "${TO}/${folder}/Factory")
  if(EXISTS "${FROM}/${folder}/Factory")
    file(COPY "${FROM}/${folder}/Factory" DESTINATION "${TO}/${folder}")
  endif()
  file(MAKE_DIRECTORY "${TO}/${folder}/User")
endforeach()
file(GLOB entries RELATIVE "${FROM}" "${FROM}/*")
foreach(entry ${entries})
  # The VST 2.4 module and the folders handled above stay behind.
  if(entry MATCHES "\\.(so|dll)$" OR entry STREQUAL "Presets" OR entry STREQUAL "Appearance")
    continue()
  endif()
  file(COPY "${FROM}/${entry}" DESTINATION "${TO}")
endforeach()
