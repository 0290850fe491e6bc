inherited frmBaseGene: TfrmBaseGene
  Left = 0
  Top = 0
  Width = 509
  Height = 355
  BorderIcons = [biMaximize]
  Caption = 'frmBaseGene'
  Font.Charset = GB2312_CHARSET
  Font.Color = clWindowText
  Font.Height = -13
  Font.Name = '宋体'
  KeyPreview = True
  Position = poScreenCenter
  ActiveControl = pgOption
  object pnlCondition: TPanel
    Left = 0
    Top = 0
    Width = 151
    Height = 285
    Align = alLeft
    BevelOuter = bvNone
    TabOrder = 0
    object lblCondition: TLabel
      Left = 0
      Top = 0
      Width = 151
      Height = 20
      Align = alTop
      AutoSize = False
      Caption = ' 条件方案'
      Color = clBtnShadow
      Font.Charset = GB2312_CHARSET
      Font.Color = clWhite
      Font.Height = -13
      Font.Name = '宋体'
      ParentColor = False
      ParentFont = False
      Layout = tlCenter
    end
    object ToolBar1: TToolBar
      Left = 0
      Top = 20
      Width = 151
      Height = 26
      Align = alTop
      ButtonHeight = 24
      ButtonWidth = 25
      Flat = True
      Images = ImageList1
      ParentShowHint = False
      ShowHint = True
      TabOrder = 0
      object btnInsert: TToolButton
        Left = 0
        Top = 0
        Hint = '保存'
        Caption = '保存(&S)'
        ImageIndex = 1
      end
      object btnOpen: TToolButton
        Left = 25
        Top = 0
        Hint = '开启'
        Caption = '开启(&O)'
        ImageIndex = 2
      end
      object btnDelete: TToolButton
        Left = 50
        Top = 0
        Hint = '删除'
        Caption = '删除(&D)'
        ImageIndex = 3
      end
      object ToolButton1: TToolButton
        Left = 75
        Top = 0
        Caption = 'ViewIcon'
        DropdownMenu = mnList
        ImageIndex = 4
        Style = tbsDropDown
      end
    end
    object lstCondition: TListView
      Left = 0
      Top = 46
      Width = 151
      Height = 239
      Align = alClient
      LargeImages = ImageList2
      PopupMenu = muOperation
      SmallImages = ImageList1
      SortType = stText
      TabOrder = 1
      ViewStyle = vsIcon
    end
  end
  object Splitter1: TSplitter
    Left = 151
    Top = 0
    Width = 3
    Height = 285
    Align = alLeft
  end
  object pgOption: TExtPageControl
    Left = 154
    Top = 0
    Width = 347
    Height = 285
    Hint = '请输入选项条件'
    ActivePage = tsOption1
    Align = alClient
    TabOrder = 1
    object tsOption1: TTabSheet
      Caption = '基本选项'
    end
    object tsOption2: TTabSheet
      Caption = '系统选项'
      ImageIndex = 1
      object lblToday: TDBLabel
        Left = 16
        Top = 20
        Width = 56
        Height = 13
        Caption = '制表日期'
        FocusControl = edPrintDate
      end
      object edPrintDate: TMaskEdit
        Left = 80
        Top = 16
        Width = 97
        Height = 21
        Hint = '[F2]日期快手'
        TabOrder = 0
      end
      object btnPrintDate: TF2Button
        Left = 178
        Top = 16
        Width = 21
        Height = 21
        Hint = '日期快手'
        GlyphIndex = 9
        F2Control = edPrintDate
      end
    end
  end
  object Panel1: TPanel
    Left = 0
    Top = 285
    Width = 501
    Height = 43
    Align = alBottom
    BevelOuter = bvNone
    TabOrder = 2
    object btnOk: TButton
      Left = 316
      Top = 10
      Width = 75
      Height = 25
      Caption = '确定'
      TabOrder = 0
    end
    object btnCancel: TButton
      Left = 408
      Top = 10
      Width = 75
      Height = 25
      Cancel = True
      Caption = '取消'
      ModalResult = 2
      TabOrder = 1
    end
  end
  object MainMidas: TSocketConnection
    ObjectBroker = ObjBroker
    SupportCallbacks = False
    Left = 8
    Top = 120
  end
  object ObjBroker: TSimpleObjectBroker
    Left = 8
    Top = 160
  end
  object ClientDataSet1: TwwClientDataSet
    IndexDefs = <
      item
        Name = 'Index1'
        Fields = 'NCONDITION;CREATOR;PROGRAMME'
      end>
    IndexName = 'Index1'
    ProviderName = 'pvdConSave'
    RemoteServer = MainMidas
    Left = 8
    Top = 200
  end
  object muOperation: TPopupMenu
    Left = 40
    Top = 120
    object N2: TMenuItem
      Caption = '开启(&O)'
    end
    object N3: TMenuItem
      Caption = '删除(&D)'
    end
  end
  object mnList: TPopupMenu
    Left = 72
    Top = 120
    object N7: TMenuItem
      Caption = '大型图标(&G)'
      Checked = True
      GroupIndex = 1
      RadioItem = True
    end
    object N8: TMenuItem
      Caption = '小型图标(&M)'
      GroupIndex = 1
      RadioItem = True
    end
    object N9: TMenuItem
      Caption = '清单(&L)'
      GroupIndex = 1
      RadioItem = True
    end
    object N10: TMenuItem
      Caption = '详细信息(&D)'
      GroupIndex = 1
      RadioItem = True
    end
  end
  object ImageList1: TImageList
    Height = 18
    Width = 18
    Left = 40
    Top = 160
  end
  object ImageList2: TImageList
    Height = 24
    Width = 24
    Left = 72
    Top = 160
  end
end
