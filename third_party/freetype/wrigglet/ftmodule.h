/* The FreeType modules the page's words need: TrueType glyphs (the sfnt tables and the
   TrueType driver with its bytecode hinter) and the anti-aliased rasteriser. */
FT_USE_MODULE( FT_Driver_ClassRec, tt_driver_class )
FT_USE_MODULE( FT_Module_Class, sfnt_module_class )
FT_USE_MODULE( FT_Renderer_Class, ft_smooth_renderer_class )
