# The Debian packages behind the stand-ins (installed by scripts/setup.sh).
find_package(PkgConfig REQUIRED)
pkg_check_modules(LUA REQUIRED IMPORTED_TARGET lua5.1)
pkg_check_modules(CEGUI REQUIRED IMPORTED_TARGET CEGUI-0 CEGUI-0-NULL)
# The GUI's renderer in a window (ENGINE_VIDEO=gl).
pkg_check_modules(CEGUI_GL REQUIRED IMPORTED_TARGET CEGUI-0-OPENGL)
# The window, its OpenGL context, screenshots and the save games' previews (JPEG).
find_package(SDL2 REQUIRED CONFIG)
set(OpenGL_GL_PREFERENCE GLVND)
find_package(OpenGL REQUIRED)
find_package(GLEW REQUIRED)
find_package(PNG REQUIRED)
find_package(JPEG REQUIRED)
pkg_check_modules(TINYXML REQUIRED IMPORTED_TARGET tinyxml)
pkg_check_modules(SNDFILE REQUIRED IMPORTED_TARGET sndfile)
# Sound a player hears (OpenAL Soft).
find_package(OpenAL REQUIRED)
# Video decoding (the cutscenes).
pkg_check_modules(FFMPEG REQUIRED IMPORTED_TARGET libavformat libavcodec libswscale libavutil)
# Physics (float build; its CMake package has relative paths).
pkg_check_modules(BULLET REQUIRED IMPORTED_TARGET bullet)
find_package(utf8cpp REQUIRED CONFIG)
find_package(CURL REQUIRED)
find_package(OpenSSL REQUIRED COMPONENTS SSL Crypto)
find_package(Threads REQUIRED)
if(BRINEMARK_TESTS)
  find_package(GTest REQUIRED)
endif()
if(BRINEMARK_BENCH)
  find_package(benchmark REQUIRED CONFIG)
endif()
