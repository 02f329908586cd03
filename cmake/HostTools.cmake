# The host programs that turn the assets' text sources into files (the icon, the sounds),
# compiled with the build machine's own C++ compiler: the target's may be a cross one.
find_program(WRIGGLET_HOST_CXX NAMES c++ g++ clang++ REQUIRED)

# wrigglet_host_tool(NAME OUTDIR): OUTDIR/NAME from tools/NAME.cpp.
function(wrigglet_host_tool name outdir)
  add_custom_command(
    OUTPUT ${outdir}/${name}
    COMMAND ${WRIGGLET_HOST_CXX} -std=c++20 -O2 -Wall -Wextra -o ${outdir}/${name} ${CMAKE_SOURCE_DIR}/tools/${name}.cpp
    DEPENDS ${CMAKE_SOURCE_DIR}/tools/${name}.cpp
    COMMENT "Compiling the host tool ${name}"
    VERBATIM)
endfunction()

# wrigglet_sound_files(OUTDIR TOOLDIR VAR): the three looping sounds OUTDIR/sound701.wav ..
# sound703.wav from resources/sounds.recipe, made by TOOLDIR/make_sound; their paths in VAR.
function(wrigglet_sound_files outdir tooldir var)
  set(files)
  foreach(id 701 702 703)
    add_custom_command(
      OUTPUT ${outdir}/sound${id}.wav
      COMMAND ${tooldir}/make_sound ${CMAKE_SOURCE_DIR}/resources/sounds.recipe ${id} ${outdir}/sound${id}.wav
      DEPENDS ${tooldir}/make_sound ${CMAKE_SOURCE_DIR}/resources/sounds.recipe
      COMMENT "Synthesising sound ${id}"
      VERBATIM)
    list(APPEND files ${outdir}/sound${id}.wav)
  endforeach()
  set(${var} ${files} PARENT_SCOPE)
endfunction()

# wrigglet_icon_files(OUTDIR TOOLDIR): OUTDIR/wrigglet.ico and OUTDIR/installer-side.bmp from
# resources/wrigglet.pixmap, made by TOOLDIR/make_icon.
function(wrigglet_icon_files outdir tooldir)
  add_custom_command(
    OUTPUT ${outdir}/wrigglet.ico ${outdir}/installer-side.bmp
    COMMAND ${tooldir}/make_icon ${CMAKE_SOURCE_DIR}/resources/wrigglet.pixmap ${outdir}/wrigglet.ico
            ${outdir}/installer-side.bmp
    DEPENDS ${tooldir}/make_icon ${CMAKE_SOURCE_DIR}/resources/wrigglet.pixmap
    COMMENT "Drawing the icon and the installer's side picture from wrigglet.pixmap"
    VERBATIM)
endfunction()

# wrigglet_icon_pngs(OUTDIR TOOLDIR VAR SIZE...): OUTDIR/SIZExSIZE/wrigglet.png for each size,
# the icon drawn from resources/wrigglet.pixmap by TOOLDIR/make_icon; their paths in VAR.
function(wrigglet_icon_pngs outdir tooldir var)
  set(files)
  foreach(size ${ARGN})
    set(png ${outdir}/${size}x${size}/wrigglet.png)
    add_custom_command(
      OUTPUT ${png}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${outdir}/${size}x${size}
      COMMAND ${tooldir}/make_icon ${CMAKE_SOURCE_DIR}/resources/wrigglet.pixmap --png ${size} ${png}
      DEPENDS ${tooldir}/make_icon ${CMAKE_SOURCE_DIR}/resources/wrigglet.pixmap
      COMMENT "Drawing the ${size}x${size} icon from wrigglet.pixmap"
      VERBATIM)
    list(APPEND files ${png})
  endforeach()
  set(${var} ${files} PARENT_SCOPE)
endfunction()
