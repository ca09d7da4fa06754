# cmake -DSOURCE=file.in -DOUTPUT=file -DVERSION=x.y.z -P configurefile.cmake
# Writes OUTPUT from SOURCE with @VERSION@ replaced, at build time.
configure_file(${SOURCE} ${OUTPUT} @ONLY)
