# IJG libjpeg (the libjpeg-turbo library) as the imported static target JPEG::JPEG: built at
# configure time from Debian's source package when cross-compiling from Linux, found otherwise.
if(CMAKE_CROSSCOMPILING AND CMAKE_HOST_SYSTEM_NAME STREQUAL "Linux")
  set(QUORVALE_DEPS_SOURCE_DIR "${CMAKE_SOURCE_DIR}/build/deps-src" CACHE PATH
    "Where the dependencies' Debian source packages are unpacked, shared by all build folders")
  set(jpeg_prefix "${CMAKE_BINARY_DIR}/deps")
  set(jpeg_build_dir "${CMAKE_BINARY_DIR}/deps-build/libjpeg-turbo")
  set(jpeg_library "${jpeg_prefix}/lib/libjpeg.a")
  set(jpeg_stamp "${jpeg_prefix}/libjpeg.stamp")

  # The source is fetched once for all build folders; the lock keeps two configures that run at
  # the same time from fetching it twice.
  file(MAKE_DIRECTORY "${QUORVALE_DEPS_SOURCE_DIR}")
  file(LOCK "${QUORVALE_DEPS_SOURCE_DIR}/libjpeg-turbo.lock" GUARD FILE TIMEOUT 600)
  file(GLOB jpeg_source_lists "${QUORVALE_DEPS_SOURCE_DIR}/libjpeg-turbo-*/CMakeLists.txt")
  if(NOT jpeg_source_lists)
    message(STATUS "Fetching Debian's source package of libjpeg-turbo")
    # apt-get unpacks in a scratch folder first, so an interrupted fetch leaves no half source.
    set(fetch_dir "${QUORVALE_DEPS_SOURCE_DIR}/fetch")
    file(REMOVE_RECURSE "${fetch_dir}")
    file(MAKE_DIRECTORY "${fetch_dir}")
    execute_process(COMMAND apt-get source libjpeg-turbo
      WORKING_DIRECTORY "${fetch_dir}"
      OUTPUT_FILE "${QUORVALE_DEPS_SOURCE_DIR}/libjpeg-turbo-fetch.log"
      ERROR_FILE "${QUORVALE_DEPS_SOURCE_DIR}/libjpeg-turbo-fetch.log"
      RESULT_VARIABLE fetch_result)
    file(GLOB fetched "${fetch_dir}/libjpeg-turbo-*/CMakeLists.txt")
    if(NOT fetch_result EQUAL 0 OR NOT fetched)
      message(FATAL_ERROR "apt-get source libjpeg-turbo failed (see "
        "${QUORVALE_DEPS_SOURCE_DIR}/libjpeg-turbo-fetch.log); scripts/setup enables Debian's "
        "source packages")
    endif()
    get_filename_component(fetched "${fetched}" DIRECTORY)
    get_filename_component(fetched_name "${fetched}" NAME)
    file(RENAME "${fetched}" "${QUORVALE_DEPS_SOURCE_DIR}/${fetched_name}")
    file(REMOVE_RECURSE "${fetch_dir}")
    set(jpeg_source_lists "${QUORVALE_DEPS_SOURCE_DIR}/${fetched_name}/CMakeLists.txt")
  endif()
  file(LOCK "${QUORVALE_DEPS_SOURCE_DIR}/libjpeg-turbo.lock" RELEASE)
  list(SORT jpeg_source_lists COMPARE NATURAL ORDER DESCENDING)
  list(GET jpeg_source_lists 0 jpeg_source_dir)
  get_filename_component(jpeg_source_dir "${jpeg_source_dir}" DIRECTORY)

  # A reconfigure rebuilds the library only when its source or the compiler has changed.
  set(jpeg_key "${jpeg_source_dir}|${CMAKE_C_COMPILER}|${CMAKE_SYSTEM_PROCESSOR}")
  set(built_key "")
  if(EXISTS "${jpeg_stamp}" AND EXISTS "${jpeg_library}")
    file(READ "${jpeg_stamp}" built_key)
  endif()
  if(NOT built_key STREQUAL jpeg_key)
    message(STATUS "Building libjpeg from ${jpeg_source_dir}")
    file(REMOVE_RECURSE "${jpeg_build_dir}" "${jpeg_prefix}/include" "${jpeg_prefix}/lib")
    file(MAKE_DIRECTORY "${jpeg_build_dir}")
    set(jpeg_log "${jpeg_build_dir}-configure.log")
    execute_process(
      COMMAND "${CMAKE_COMMAND}" -G "${CMAKE_GENERATOR}"
        -S "${jpeg_source_dir}" -B "${jpeg_build_dir}"
        "-DCMAKE_MAKE_PROGRAM=${CMAKE_MAKE_PROGRAM}"
        "-DCMAKE_SYSTEM_NAME=${CMAKE_SYSTEM_NAME}"
        "-DCMAKE_SYSTEM_PROCESSOR=${CMAKE_SYSTEM_PROCESSOR}"
        "-DCMAKE_C_COMPILER=${CMAKE_C_COMPILER}"
        "-DCMAKE_AR=${CMAKE_AR}"
        "-DCMAKE_RANLIB=${CMAKE_RANLIB}"
        "-DCMAKE_INSTALL_PREFIX=${jpeg_prefix}" -DCMAKE_BUILD_TYPE=Release
        -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF
      OUTPUT_FILE "${jpeg_log}" ERROR_FILE "${jpeg_log}" RESULT_VARIABLE jpeg_result)
    if(jpeg_result EQUAL 0)
      set(jpeg_log "${jpeg_build_dir}-build.log")
      execute_process(COMMAND "${CMAKE_COMMAND}" --build "${jpeg_build_dir}" --target jpeg-static
        OUTPUT_FILE "${jpeg_log}" ERROR_FILE "${jpeg_log}" RESULT_VARIABLE jpeg_result)
    endif()
    if(NOT jpeg_result EQUAL 0)
      message(FATAL_ERROR "Building libjpeg failed; see ${jpeg_log}")
    endif()
    # Only the library and its public headers are wanted, so they are copied rather than
    # installed (installing would build the command-line tools as well).
    file(COPY "${jpeg_build_dir}/libjpeg.a" DESTINATION "${jpeg_prefix}/lib")
    file(COPY "${jpeg_build_dir}/jconfig.h" "${jpeg_source_dir}/jpeglib.h"
      "${jpeg_source_dir}/jmorecfg.h" "${jpeg_source_dir}/jerror.h"
      DESTINATION "${jpeg_prefix}/include")
    file(WRITE "${jpeg_stamp}" "${jpeg_key}")
  endif()

  add_library(JPEG::JPEG STATIC IMPORTED)
  set_target_properties(JPEG::JPEG PROPERTIES
    IMPORTED_LOCATION "${jpeg_library}"
    INTERFACE_INCLUDE_DIRECTORIES "${jpeg_prefix}/include")
else()
  find_package(JPEG REQUIRED)
endif()
