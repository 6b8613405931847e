# Portable code shared by the stub, the packaging tool and the tests: plain
# bytes in, plain bytes out, no Windows types.
set(KQ_PORTABLE_SOURCES
  src/package/lzhuf_tree.cpp
  src/package/lzhuf_decoder.cpp
  src/package/record_format.cpp
  src/package/stored_name.cpp
  src/package/package_integrity.cpp
  src/startup/command_line.cpp
  src/text/text.cpp
  src/script/key_names.cpp
)
list(TRANSFORM KQ_PORTABLE_SOURCES PREPEND "${CMAKE_CURRENT_LIST_DIR}/../")

# Native-only pieces: the encoder serves the packaging tool and the tests.
set(KQ_NATIVE_SOURCES
  src/package/lzhuf_encoder.cpp
  src/package/package_reader.cpp
  src/package/record_writer.cpp
)
list(TRANSFORM KQ_NATIVE_SOURCES PREPEND "${CMAKE_CURRENT_LIST_DIR}/../")
