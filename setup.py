"""Builds the extension glassform._core with the project's own CMake build (the `_core` target
of CMakeLists.txt, with the flags of every other target) and copies it into the package, as
pybind11's CMake example does. The version is the one in VERSION, which CMake reads too.

Environment: GLASSFORM_BUILD_JOBS=N for the build's parallel jobs (default: every core);
CMAKE_ARGS for further CMake options."""
import os
import shlex
import shutil
import subprocess
import sys

from setuptools import Extension, setup
from setuptools.command.build_ext import build_ext

ROOT = os.path.dirname(os.path.abspath(__file__))
with open(os.path.join(ROOT, "VERSION")) as f:
    VERSION = f.read().strip()


class CMakeExtension(Extension):
    """An extension that CMake builds: no sources of its own for setuptools."""

    def __init__(self, name):
        super().__init__(name, sources=[])


class CMakeBuild(build_ext):
    def build_extension(self, ext):
        build = os.path.join(os.path.abspath(self.build_temp), "cmake")
        configure = ["cmake", "-S", ROOT, "-B", build, "-DCMAKE_BUILD_TYPE=Release",
                     "-DGLASSFORM_PYTHON=ON", "-DGLASSFORM_TESTS=OFF", "-DGLASSFORM_BENCH=OFF",
                     "-DPython3_EXECUTABLE=" + sys.executable]
        configure += shlex.split(os.environ.get("CMAKE_ARGS", ""))
        jobs = os.environ.get("GLASSFORM_BUILD_JOBS", str(os.cpu_count() or 1))
        subprocess.run(configure, check=True, stdout=subprocess.DEVNULL)
        subprocess.run(["cmake", "--build", build, "--target", "_core", "-j", jobs], check=True)
        built = [n for n in os.listdir(os.path.join(build, "python")) if n.startswith("_core")]
        if len(built) != 1:
            raise RuntimeError("the CMake build made no single _core module: %s" % built)
        target = self.get_ext_fullpath(ext.name)
        os.makedirs(os.path.dirname(target), exist_ok=True)
        shutil.copyfile(os.path.join(build, "python", built[0]), target)


# Out of the CMake build folder (build/): setuptools' own folder is build-python/.
setup(version=VERSION, ext_modules=[CMakeExtension("glassform._core")],
      cmdclass={"build_ext": CMakeBuild}, package_dir={"": "python"}, packages=["glassform"],
      package_data={"glassform": ["py.typed", "*.pyi"]},
      options={"build": {"build_base": "build-python"}})
