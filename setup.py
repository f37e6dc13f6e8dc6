"""Builds the extension glassform._core from the model, io and report sources and the binding
(src/python/module.cpp): no separately installed library is needed. The version is the
CMake project's."""
import glob
import os
import re

from pybind11.setup_helpers import ParallelCompile, Pybind11Extension
from setuptools import setup

ROOT = os.path.dirname(os.path.abspath(__file__))
with open(os.path.join(ROOT, "CMakeLists.txt")) as f:
    VERSION = re.search(r"project\(glassform[^)]*VERSION ([0-9.]+)", f.read()).group(1)

# Every core (GLASSFORM_BUILD_JOBS=N to choose).
ParallelCompile("GLASSFORM_BUILD_JOBS").install()

sources = sorted(glob.glob("src/model/*.cpp") + glob.glob("src/io/*.cpp") +
                 glob.glob("src/report/*.cpp")) + ["src/python/module.cpp"]
extension = Pybind11Extension(
    "glassform._core", sources, include_dirs=["src"], cxx_std=20,
    define_macros=[("FMT_HEADER_ONLY", "1"), ("GLASSFORM_VERSION", '"%s"' % VERSION)])

# Out of the CMake build folder (build/): setuptools' own folder is build-python/.
setup(version=VERSION, ext_modules=[extension], package_dir={"": "python"},
      packages=["glassform"], package_data={"glassform": ["py.typed", "*.pyi"]},
      options={"build": {"build_base": "build-python"}})
