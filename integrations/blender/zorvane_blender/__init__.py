# SPDX-License-Identifier: GPL-3.0-or-later
# Zorvane Timing: File > Import > Zorvane Timing (.json) brings a dialogue
# breakdown or the beats that Zorvane writes into the scene: a timeline
# marker per word, markers on bars or beats, an integer property per
# character ("mouth", or "mouth_<name>") keyed with constant interpolation on
# the active object, and the sound as a sequencer strip. Times are placed on
# the frames of the scene's own rate (fps / fps_base), the sound's start on
# the scene's first frame.
#
# Copyright (C) 2026 the Zorvane developers. This program is free software:
# you can redistribute it and/or modify it under the terms of the GNU General
# Public License as published by the Free Software Foundation, either version
# 3 of the License, or (at your option) any later version.

bl_info = {
    "name": "Zorvane Timing",
    "author": "the Zorvane developers",
    "version": (1, 0, 0),
    "blender": (3, 4, 0),
    "location": "File > Import > Zorvane Timing (.json)",
    "description": "Word and beat markers, mouth shape keys and the sound from Zorvane's JSON",
    "category": "Import-Export",
}

import os

import bpy
from bpy.props import BoolProperty, EnumProperty, StringProperty
from bpy_extras.io_utils import ImportHelper

from . import plan as timing_plan
from .timing import TimingError, read_timing, scene_rate


class ImportZorvaneTiming(bpy.types.Operator, ImportHelper):
    """Import word and beat markers, mouth shape keys and the sound from a Zorvane timing JSON"""
    bl_idname = "import_anim.zorvane"
    bl_label = "Import Zorvane Timing"
    bl_options = {'REGISTER', 'UNDO'}

    filename_ext = ".json"
    filter_glob: StringProperty(default="*.json", options={'HIDDEN'})

    word_markers: BoolProperty(name="Word Markers", default=True,
                               description="A timeline marker on the frame of each word, named by the word")
    beat_markers: EnumProperty(name="Beat Markers", default='BARS',
                               items=[('BARS', "Bars", "A marker on each bar's first beat, \"Bar 3\""),
                                      ('BEATS', "Beats", "A marker on every beat, \"3.2\" for bar 3 beat 2"),
                                      ('NONE', "None", "No beat markers")])
    mouth_keys: BoolProperty(name="Mouth Keys", default=True,
                             description="Key each character's mouth shape number on the active object")
    add_sound: BoolProperty(name="Add Sound", default=True,
                            description="Add the sound as a sequencer strip on the scene's first frame")
    sound_path: StringProperty(name="Sound", subtype='FILE_PATH', default="",
                               description="The sound to add (blank: the one the file names, or the "
                                           "sound beside it with the same name)")

    def execute(self, context):
        # Nothing may leave this handler as an exception: every failure is a
        # report, and the scene is left as it was.
        try:
            return self._import(context)
        except TimingError as e:
            self.report({'ERROR'}, "Not imported: %s" % e)
        except Exception as e:
            self.report({'ERROR'}, "Not imported, an unexpected fault: %s: %s" % (type(e).__name__, e))
        return {'CANCELLED'}

    def _import(self, context):
        from .scene_changes import SceneChanges
        path = bpy.path.abspath(self.filepath)
        timing = read_timing(path)
        scene = context.scene
        rate = scene_rate(scene.render.fps, scene.render.fps_base)
        first = scene.frame_start
        try:
            plan = timing_plan.build_plan(timing, rate, first, words=self.word_markers,
                                          beats=self.beat_markers, mouths=self.mouth_keys)
        except TimingError as e:
            raise TimingError("%s: %s" % (os.path.basename(path), e))
        sound = None
        if self.add_sound:
            if self.sound_path:
                sound = bpy.path.abspath(self.sound_path)
                if not os.path.isfile(sound):
                    raise TimingError("Cannot open '%s': no such file" % sound)
            else:
                sound = timing_plan.find_sound(timing, path)

        changes = SceneChanges(scene)
        obj = None
        try:
            if plan.curves:
                if context.active_object is not None:
                    SceneChanges.check_object(context.active_object, plan.curves)
                obj = changes.mouth_object(context)
            changes.add_markers(plan.markers)
            for curve in plan.curves:
                changes.key_mouths(obj, curve, scene.frame_current)
            if sound:
                changes.add_sound(sound, first)
        except BaseException:
            changes.take_back()
            raise

        said = []
        if plan.word_count:
            said.append("%d word markers" % plan.word_count)
        if plan.beat_count:
            kind = "bar" if self.beat_markers == 'BARS' else "beat"
            extra = ", ".join(x for x in (timing.meter, "%.2f BPM" % timing.bpm if timing.bpm else None) if x)
            said.append("%d %s markers%s" % (plan.beat_count, kind, " (%s)" % extra if extra else ""))
        for curve in plan.curves:
            said.append("%d keys of '%s' on '%s'" % (len(curve.keys), curve.prop, obj.name))
        if changes.sound_strip is not None:
            said.append("the sound '%s'" % os.path.basename(sound))
        elif self.add_sound and not sound:
            changes.messages.append("no sound was found beside the file, so none was added"
                                    if not timing.sound else
                                    "the sound '%s' was not found beside the file, so it was not added"
                                    % timing.sound)
        self.report({'INFO'}, "Imported " + (", ".join(said) if said else "nothing: the file holds no timing")
                    + " at %s fps" % _rate_text(rate))
        for message in changes.messages:
            self.report({'WARNING'}, message[0].upper() + message[1:])
        return {'FINISHED'}


def _rate_text(rate):
    return str(rate.numerator) if rate.denominator == 1 else "%.3f" % float(rate)


def menu_import(self, context):
    self.layout.operator(ImportZorvaneTiming.bl_idname, text="Zorvane Timing (.json)")


def register():
    bpy.utils.register_class(ImportZorvaneTiming)
    bpy.types.TOPBAR_MT_file_import.append(menu_import)


def unregister():
    bpy.types.TOPBAR_MT_file_import.remove(menu_import)
    bpy.utils.unregister_class(ImportZorvaneTiming)
